#pragma once

#include "model/progress.h"

#include <QDialog>
#include <QList>

#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;


class TForm1;
namespace store { class Table; }

// The progress window: the athletes found in the stored tests and, for the
// chosen athlete and exercise, three charts of the tests in date order: the real
// time of each set with the planned set time, the repetitions per set, and
// TUT total and TUT real per test.  It closes with the window that opened it.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // `testTable` is read each time the window is shown.
    explicit ProgressWindow(store::Table &testTable, QWidget *parent = nullptr);
    ~ProgressWindow() override;

    // Reads the stored tests anew, chooses the athlete of that name and
    // surname (or keeps the one chosen, or the first) and shows the window.
    void showAthlete(const QString &name, const QString &surname);

    struct StoredAthlete {
        QString name, surname;
        int tests;
    };

    // Saves the three charts as one picture: SVG for a name ending in
    // ".svg", PNG otherwise.  A failure throws core::Failure; an
    // older file is kept.
    void saveChart(const QString &path);

    const data::ProgressData &progress() const { return m_data; }
    QListWidget *athleteList() const { return m_athletes; }
    QComboBox *exerciseBox() const { return m_exercises; }
    // The chart module's QChartView: 1 set times, 2 repetitions, 3 TUT; null
    // without the module.
    QWidget *chartView(int number) const;
    QLabel *summary() const { return m_summary; }

    // The hover text of the test whose point of a chart's series is nearest
    // to `value` (in chart coordinates); empty when there is none.
    QString hoverText(QObject *series, const QPointF &value) const;

public slots:
    void SaveChartButtonClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Drawn {
        QObject *series;
        const data::ProgressSeries *source;
    };

    void showAthletes(std::vector<StoredAthlete> athletes, const QString &name, const QString &surname);
    void athleteChosen();
    void exerciseChosen();
    void drawCharts();
    void fillChart(int number, const QList<const data::ProgressSeries *> &lines,
                   const data::ProgressSeries *reference, const QString &unit, const QString &title);
    QString defaultChartPath() const;

    store::Table &m_table;
    QListWidget *m_athletes = nullptr;
    QComboBox *m_exercises = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_save = nullptr;
    QWidget *m_chartArea = nullptr;
    // The chart views, made by the chart module; null without it.
    QWidget *m_views[3] = {};
    QString m_titles[3];
    QList<data::StoredTest> m_tests;   // the chosen athlete's tests
    QList<data::StoredTest> m_invalidTests;   // those marked invalid: not charted
    data::ProgressData m_data;
    std::vector<Drawn> m_drawn;
    QString m_name;
    QString m_surname;
};

// Shows the progress window over `testTable` for an athlete, as a child of
// `owner`; the window made at the first request is shown again after it.
ProgressWindow *showProgressWindow(QWidget *owner, store::Table &testTable, const QString &name,
                                   const QString &surname);
// Lets the clock window's "Progress..." open the progress window over it.
void openProgressOnRequest(TForm1 &clockWindow);
