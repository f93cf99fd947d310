#include "data/progresswindow.h"

#include "clock/tform1.h"

#include "model/fullexport.h"
#include "core/errors.h"
#include "platform/guard.h"
#include "store/layout.h"
#include "store/storeaction.h"
#include "store/testrows.h"
#include "store/table.h"

#include "data/chartengine.h"
#include "platform/modules.h"

#include "store/testnotes.h"
#include <QBoxLayout>
#include <QCollator>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int NameRole = Qt::UserRole;
constexpr int SurnameRole = Qt::UserRole + 1;
// Above this many points a line is drawn without its point markers.
constexpr qsizetype markedPointLimit = 400;

// The stored tests of one athlete, all fields, in the order of their numbers.
QList<data::StoredTest> readAthleteTests(store::Table &table, const QString &name, const QString &surname)
{
    const store::Layout &layout = table.layout();
    store::TestRows rows(table.database(), name, surname, [&](const QString &reason) { table.fail(reason); });
    // Only the fields the charts read are taken; the rest stay empty.  A
    // value the same as the previous test's shares its text.
    const int count = int(layout.fields.size());
    std::vector<bool> wanted(size_t(count), true);
    for (const char *unused : {"ProfilNr", "Bodyweight", "Height", "Load"})
        wanted[size_t(layout.indexOf(QString::fromLatin1(unused)))] = false;
    QList<data::StoredTest> tests;
    data::StoredTest previous(count);
    std::vector<QByteArray> previousBytes(static_cast<size_t>(count));
    while (rows.next()) {
        data::StoredTest test(count);
        for (int i = 0; i < count; ++i) {
            if (!wanted[size_t(i)])
                continue;
            const QByteArrayView bytes = rows.field(i);
            if (bytes.isNull())
                continue;
            if (bytes == previousBytes[size_t(i)]) {
                test[i] = previous.at(i);
            } else {
                previousBytes[size_t(i)] = bytes.toByteArray();
                test[i] = QString::fromUtf8(bytes);
            }
        }
        previous = test;
        tests << std::move(test);
    }
    return tests;
}


// At most about two points per bucket on the time axis are drawn: the
// first, lowest, highest and last of each.  The line looks the same at any
// window width, and a line of many thousand tests draws fast.
QList<QPointF> drawnPoints(const QList<QPointF> &points, int buckets)
{
    if (points.size() <= 4 * buckets)
        return points;
    const double x0 = points.first().x();
    const double width = std::max(1e-9, (points.last().x() - x0) / buckets);
    QList<QPointF> drawn;
    drawn.reserve(4 * buckets);
    qsizetype i = 0;
    while (i < points.size()) {
        const long bucket = long((points.at(i).x() - x0) / width);
        qsizetype end = i;
        qsizetype low = i;
        qsizetype high = i;
        while (end < points.size() && long((points.at(end).x() - x0) / width) == bucket) {
            if (points.at(end).y() < points.at(low).y())
                low = end;
            if (points.at(end).y() > points.at(high).y())
                high = end;
            ++end;
        }
        qsizetype keep[4] = {i, std::min(low, high), std::max(low, high), end - 1};
        for (int k = 0; k < 4; ++k) {
            if (k == 0 || keep[k] != keep[k - 1])
                drawn << points.at(keep[k]);
        }
        i = end;
    }
    return drawn;
}

// The chart module's functions, found once; null without the module, with
// the reason in `missing`.
struct ChartModule {
    data::MakeChartViewFunction makeView = nullptr;
    data::FillChartFunction fill = nullptr;
    data::AxisSpansFunction axisSpans = nullptr;
    data::WriteSvgFunction writeSvg = nullptr;
    QString missing;
};

const ChartModule &chartModule()
{
    static const ChartModule module = [] {
        ChartModule m;
        const QString name = QStringLiteral("charts");
        const auto makeView = platform::moduleFunction<data::MakeChartViewFunction>(
            name, data::kMakeChartViewSymbol, &m.missing);
        const auto fill = platform::moduleFunction<data::FillChartFunction>(name, data::kFillChartSymbol, &m.missing);
        const auto axisSpans =
            platform::moduleFunction<data::AxisSpansFunction>(name, data::kAxisSpansSymbol, &m.missing);
        const auto writeSvg =
            platform::moduleFunction<data::WriteSvgFunction>(name, data::kWriteSvgSymbol, &m.missing);
        // All of them or none, so that a window never draws half its charts.
        if (makeView && fill && axisSpans && writeSvg)
            m = {makeView, fill, axisSpans, writeSvg, QString()};
        return m;
    }();
    return module;
}

QString athleteLabel(const QString &name, const QString &surname)
{
    const QString both = (name.trimmed() + u' ' + surname.trimmed()).trimmed();
    return both.isEmpty() ? QCoreApplication::translate("ProgressWindow", "(no name)") : both;
}

struct Range {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    void take(double v)
    {
        min = std::min(min, v);
        max = std::max(max, v);
    }
    bool empty() const { return min > max; }
};

// The athletes of the stored tests with their number of tests.
std::vector<ProgressWindow::StoredAthlete> readStoredAthletes(store::Table &table)
{
    QSqlQuery query(table.database());
    query.setForwardOnly(true);
    const QString sql = QStringLiteral(
        "SELECT COALESCE(\"Name\", ''), COALESCE(\"Surname\", ''), COUNT(*) FROM \"%1\" GROUP BY 1, 2")
                            .arg(table.tableName());
    if (!query.exec(sql))
        table.fail(query.lastError().databaseText());
    std::vector<ProgressWindow::StoredAthlete> athletes;
    while (query.next())
        athletes.push_back({query.value(0).toString(), query.value(1).toString(), query.value(2).toInt()});
    if (query.lastError().isValid())
        table.fail(query.lastError().databaseText());
    return athletes;
}

// Runs `read` with the table open.  The table keeps the open state it had:
// one that was closed is open only for the time of the read, also when the
// read throws.
// On a server the read runs beside the clock (storeaction.h): it must touch
// no window.
template <typename Read>
void readWithTableOpen(store::Table &table, Read read)
{
    store::runStoreAction({&table}, [&] {
        const bool wasOpen = table.isOpen();
        table.open();
        try {
            read();
        } catch (...) {
            if (!wasOpen)
                table.close();
            throw;
        }
        if (!wasOpen)
            table.close();
    });
}

} // namespace

ProgressWindow::ProgressWindow(store::Table &testTable, QWidget *parent)
    : QDialog(parent)
    , m_table(testTable)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(tr("Progress"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    resize(1040, 720);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(230, 242, 231));
    setPalette(background);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    auto *left = new QWidget(splitter);
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(new QLabel(tr("Athlet"), left));
    m_athletes = new QListWidget(left);
    m_athletes->setObjectName(QStringLiteral("AthleteList"));
    m_athletes->setMinimumWidth(190);
    leftColumn->addWidget(m_athletes);

    auto *right = new QWidget(splitter);
    auto *rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Exercise"), right));
    m_exercises = new QComboBox(right);
    m_exercises->setObjectName(QStringLiteral("ExerciseBox"));
    m_exercises->setMinimumContentsLength(24);
    m_exercises->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    top->addWidget(m_exercises);
    m_summary = new QLabel(right);
    m_summary->setObjectName(QStringLiteral("SummaryLabel"));
    top->addWidget(m_summary, 1);
    m_save = new QPushButton(tr("Save chart..."), right);
    m_save->setObjectName(QStringLiteral("SaveChartButton"));
    m_save->setAutoDefault(false);
    top->addWidget(m_save);
    auto *close = new QPushButton(tr("Close"), right);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    top->addWidget(close);
    rightColumn->addLayout(top);

    m_chartArea = new QWidget(right);
    m_chartArea->setObjectName(QStringLiteral("ChartArea"));
    auto *charts = new QVBoxLayout(m_chartArea);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->setSpacing(2);
    const char *names[3] = {"SetTimeChart", "RepetitionChart", "TutChart"};
    const ChartModule &module = chartModule();
    if (module.makeView) {
        for (int i = 0; i < 3; ++i) {
            m_views[i] = module.makeView(m_chartArea);
            m_views[i]->setObjectName(QString::fromLatin1(names[i]));
            charts->addWidget(m_views[i], 1);
        }
    } else {
        // The lists and the summary work without the charts.
        auto *missing = new QLabel(tr("The charts cannot be shown: %1").arg(module.missing), m_chartArea);
        missing->setObjectName(QStringLiteral("ChartsMissing"));
        missing->setWordWrap(true);
        charts->addWidget(missing, 1);
    }
    rightColumn->addWidget(m_chartArea, 1);

    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({210, 830});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_athletes, &QListWidget::currentRowChanged, this,
            [this] { platform::runGuarded(this, [this] { athleteChosen(); }); });
    connect(m_exercises, &QComboBox::currentIndexChanged, this,
            [this] { platform::runGuarded(this, [this] { exerciseChosen(); }); });
    connect(m_save, &QPushButton::clicked, this, &ProgressWindow::SaveChartButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    // The window belongs to the one that opened it and closes with it.
    if (parent)
        parent->installEventFilter(this);
}

ProgressWindow::~ProgressWindow() = default;

bool ProgressWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Hide)
        hide();
    return QDialog::eventFilter(watched, event);
}

QWidget *ProgressWindow::chartView(int number) const
{
    return number >= 1 && number <= 3 ? m_views[number - 1] : nullptr;
}

void ProgressWindow::showAthlete(const QString &name, const QString &surname)
{
    std::vector<StoredAthlete> athletes;
    readWithTableOpen(m_table, [&] { athletes = readStoredAthletes(m_table); });
    showAthletes(std::move(athletes), name, surname);
    show();
    raise();
    activateWindow();
}

void ProgressWindow::showAthletes(std::vector<StoredAthlete> athletes, const QString &name, const QString &surname)
{
    // By surname, then name, as the user's language sorts them.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(athletes.begin(), athletes.end(), [&](const StoredAthlete &a, const StoredAthlete &b) {
        if (const int bySurname = collator.compare(a.surname, b.surname))
            return bySurname < 0;
        return collator.compare(a.name, b.name) < 0;
    });

    // The athlete asked for, else the one chosen before, else the first.
    QSignalBlocker block(m_athletes);
    m_athletes->clear();
    int chosen = 0;
    bool found = false;
    for (const StoredAthlete &athlete : athletes) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1  (%2)").arg(athleteLabel(athlete.name, athlete.surname)).arg(athlete.tests), m_athletes);
        item->setData(NameRole, athlete.name);
        item->setData(SurnameRole, athlete.surname);
        if (athlete.name == name && athlete.surname == surname) {
            chosen = m_athletes->count() - 1;
            found = true;
        } else if (!found && athlete.name == m_name && athlete.surname == m_surname) {
            chosen = m_athletes->count() - 1;
        }
    }
    if (m_athletes->count() > 0)
        m_athletes->setCurrentRow(chosen);
    athleteChosen();
}

void ProgressWindow::athleteChosen()
{
    const QListWidgetItem *item = m_athletes->currentItem();
    const QString previousExercise = m_exercises->currentData().toString();
    m_tests.clear();
    m_invalidTests.clear();
    m_name.clear();
    m_surname.clear();
    if (item) {
        m_name = item->data(NameRole).toString();
        m_surname = item->data(SurnameRole).toString();
        readWithTableOpen(m_table, [&] {
            m_tests = readAthleteTests(m_table, m_name, m_surname);
            m_invalidTests = data::leaveOutInvalidTests(m_tests, store::readTestNotes(m_table.database()));
        });
    }

    // The athlete's exercises, alphabetically; the one chosen before stays
    // chosen, otherwise the one with the most tests.
    const int exerciseField = store::testTableLayout().indexOf(QStringLiteral("Exercise"));
    QMap<QString, int> counts;
    for (const data::StoredTest &test : m_tests)
        ++counts[test.value(exerciseField)];
    QSignalBlocker block(m_exercises);
    m_exercises->clear();
    int chosen = -1;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        m_exercises->addItem(it.key().isEmpty() ? tr("(no exercise)") : it.key(), it.key());
        if (it.value() > most) {
            most = it.value();
            chosen = m_exercises->count() - 1;
        }
    }
    const int previous = m_exercises->findData(previousExercise);
    if (previous >= 0)
        chosen = previous;
    m_exercises->setCurrentIndex(chosen);
    exerciseChosen();
}

void ProgressWindow::exerciseChosen()
{
    m_data = data::progressSeries(m_tests, m_name, m_surname, m_exercises->currentData().toString());
    if (m_athletes->count() == 0) {
        m_summary->setText(tr("No stored tests."));
    } else {
        QString text = m_data.tests == 1 ? tr("1 test") : tr("%1 tests").arg(m_data.tests);
        if (m_data.byTestNumber)
            text += tr(", none with a readable date: placed by test number");
        else if (m_data.undated > 0)
            text += tr(", %1 without a readable date: placed by test number, marked ◇")
                        .arg(m_data.undated);
        const int invalid =
            data::progressSeries(m_invalidTests, m_name, m_surname, m_exercises->currentData().toString()).tests;
        if (invalid == 1)
            text += tr(", 1 invalid test left out");
        else if (invalid > 1)
            text += tr(", %1 invalid tests left out").arg(invalid);
        m_summary->setText(text);
    }
    drawCharts();
}

void ProgressWindow::drawCharts()
{
    m_drawn.clear();
    QList<const data::ProgressSeries *> times;
    for (const data::ProgressSeries &series : m_data.setTimes)
        times << &series;
    QList<const data::ProgressSeries *> reps;
    for (const data::ProgressSeries &series : m_data.repetitions)
        reps << &series;
    const QString who = athleteLabel(m_name, m_surname);
    const QString exercise = m_exercises->currentText();
    const QString suffix = m_athletes->count() ? QStringLiteral(": %1, %2").arg(who, exercise) : QString();
    fillChart(0, times, m_data.setTimes.isEmpty() ? nullptr : &m_data.plannedSetTime,
              tr("s"), tr("Real time per set") + suffix);
    fillChart(1, reps, nullptr, QString(), tr("Repetitions per set") + suffix);
    fillChart(2, {&m_data.tutTotal, &m_data.tutReal}, nullptr, tr("s"),
              tr("TUT per test") + suffix);
}

void ProgressWindow::fillChart(int number, const QList<const data::ProgressSeries *> &lines,
                               const data::ProgressSeries *reference, const QString &unit, const QString &title)
{
    m_titles[number] = title;
    const ChartModule &module = chartModule();
    if (!module.fill)
        return;
    data::ChartContent content;
    content.title = title;

    // The time axis spans every test of the chosen exercise in all three
    // charts alike, so that they line up.
    Range xs;
    for (const auto *series : {&m_data.tutTotal, &m_data.tutReal, &m_data.plannedSetTime})
        for (const data::ProgressPoint &p : series->points)
            xs.take(p.x);
    for (const auto &list : {&m_data.setTimes, &m_data.repetitions})
        for (const data::ProgressSeries &series : *list)
            for (const data::ProgressPoint &p : series.points)
                xs.take(p.x);
    Range ys;
    ys.take(0);

    // Each test has its own place along the axis, labelled with its day.
    content.xTitle = m_data.byTestNumber ? tr("Tests by number") : tr("Tests by date");
    content.xMax = xs.empty() ? 0 : xs.max;
    for (const data::ProgressAxisLabel &label : data::progressAxisLabels(m_data, std::max(3, width() / 110)))
        content.xLabels.append({QString(label.text).replace(u'\n', QStringLiteral("<br>")), label.x});
    content.yTitle = unit.isEmpty() ? tr("Repetitions") : unit;
    content.markedName = tr("Date not readable");

    QList<const data::ProgressSeries *> sources;
    auto addLine = [&](const data::ProgressSeries &source, bool isReference) {
        data::ChartLine line;
        line.name = source.name;
        QList<QPointF> points;
        points.reserve(source.points.size());
        for (const data::ProgressPoint &p : source.points) {
            points << QPointF(p.x, p.value);
            ys.take(p.value);
            if (!p.dated && !isReference)
                content.marked << QPointF(p.x, p.value);
        }
        line.points = drawnPoints(points, 1000);
        line.look = isReference                          ? data::ChartLine::Look::Reference
                    : points.size() <= markedPointLimit ? data::ChartLine::Look::Marked
                                                         : data::ChartLine::Look::Thin;
        content.lines << line;
        sources << &source;
    };
    for (const data::ProgressSeries *series : lines)
        addLine(*series, false);
    if (reference)
        addLine(*reference, true);
    content.yMin = std::min(0.0, ys.min);
    content.yMax = ys.max > 0 ? ys.max * 1.08 : 1.0;

    const QList<QObject *> drawn = module.fill(m_views[number], content, [this](QObject *line, const QPointF &value) {
        return hoverText(line, value);
    });
    for (qsizetype i = 0; i < drawn.size() && i < sources.size(); ++i)
        m_drawn.push_back({drawn.at(i), sources.at(i)});
}

QString ProgressWindow::hoverText(QObject *series, const QPointF &value) const
{
    const auto drawn = std::find_if(m_drawn.begin(), m_drawn.end(), [&](const Drawn &d) { return d.series == series; });
    if (drawn == m_drawn.end() || drawn->source->points.isEmpty())
        return {};
    // Nearest on the chart: distances scaled by the axes' spans.
    const QSizeF spans = chartModule().axisSpans(series);
    const double xSpan = spans.width();
    const double ySpan = spans.height();
    const data::ProgressPoint *nearest = nullptr;
    double best = std::numeric_limits<double>::infinity();
    for (const data::ProgressPoint &p : drawn->source->points) {
        const double dx = (p.x - value.x()) / xSpan;
        const double dy = (p.value - value.y()) / ySpan;
        const double distance = dx * dx + dy * dy;
        if (distance < best) {
            best = distance;
            nearest = &p;
        }
    }
    // The whole test, whichever of its points is hovered.
    const qsizetype place = qsizetype(std::llround(nearest->x));
    if (place < 0 || place >= m_data.order.size())
        return {};
    return data::progressTestText(m_data.order.at(place));
}

QString ProgressWindow::defaultChartPath() const
{
    QString base = QStringLiteral("Korvane-progress");
    const QString who = athleteLabel(m_name, m_surname);
    if (m_athletes->count() > 0)
        base += u'-' + who;
    // Keep the name a plain file name.
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : base) {
        if (forbidden.contains(c) || c.isSpace())
            c = u'-';
    }
    return QDir(QFileInfo(m_table.filePath()).absolutePath()).filePath(base + QStringLiteral(".png"));
}

void ProgressWindow::SaveChartButtonClick()
{
    platform::runGuarded(this, [&] {
        const QString png = tr("PNG image (*.png)");
        const QString svg = tr("SVG image (*.svg)");
        QString filter = png;
        QString path = QFileDialog::getSaveFileName(this, tr("Save chart"), defaultChartPath(),
                                                    png + QStringLiteral(";;") + svg, &filter);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
        saveChart(path);
    });
}

void ProgressWindow::saveChart(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const QString notWritten = tr("\"%1\" was not written; the previous file is unchanged. ").arg(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw core::Failure(tr("\"%1\" could not be created: %2").arg(name, file.errorString()));
    bool drawn = false;
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        const ChartModule &module = chartModule();
        if (!module.writeSvg) {
            file.cancelWriting();
            throw core::Failure(notWritten + module.missing);
        }
        drawn = module.writeSvg(m_chartArea, &file, windowTitle(), m_titles[0]);
    } else {
        drawn = m_chartArea->grab().save(&file, "PNG");
    }
    if (!drawn || !file.flush()) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                     : tr("the picture could not be made");
        file.cancelWriting();
        throw core::Failure(notWritten + reason);
    }
    if (!file.commit())
        throw core::Failure(notWritten + file.errorString());
}

ProgressWindow *showProgressWindow(QWidget *owner, store::Table &testTable, const QString &name,
                                   const QString &surname)
{
    auto *window = owner->findChild<ProgressWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new ProgressWindow(testTable, owner);
    window->showAthlete(name, surname);
    return window;
}

void openProgressOnRequest(TForm1 &clockWindow)
{
    QObject::connect(&clockWindow, &TForm1::progressRequested, &clockWindow,
                     [&clockWindow](store::Table *testTable, const QString &name, const QString &surname) {
                         showProgressWindow(&clockWindow, *testTable, name, surname);
                     });
}
