#include "app/datasource.h"

#include "platform/messages.h"
#include "platform/stationsettings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QRadioButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace app {

bool askForServerPassword(QWidget *parent, store::ServerAddress &server, const core::Failure &failure)
{
    // libpq says so in these words; a password given and refused is not
    // asked for again.
    if (!server.password.isEmpty() || !failure.detail().contains(QLatin1String("no password supplied")))
        return false;
    const auto password = platform::messageBoxes().askPassword(
        parent, QCoreApplication::translate("Startup", "Database password"),
        QCoreApplication::translate("Startup", "Password of %1:").arg(server.display()));
    if (!password)
        return false;
    server.password = *password;
    return true;
}

namespace {

const QString kFolderKey = QStringLiteral("DataSource/Folder");
const QString kServerKey = QStringLiteral("DataSource/Server");

} // namespace

QString rememberedDataFolder()
{
    return platform::stationSettings().value(kFolderKey).toString();
}

void rememberDataFolder(const QString &folder)
{
    QSettings stored = platform::stationSettings();
    stored.setValue(kFolderKey, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    stored.remove(kServerKey);
    stored.sync();
}

std::optional<store::ServerAddress> rememberedDataServer()
{
    const QString url = platform::stationSettings().value(kServerKey).toString();
    if (url.isEmpty())
        return std::nullopt;
    return store::ServerAddress::parse(url);
}

void rememberDataServer(const store::ServerAddress &server)
{
    QSettings stored = platform::stationSettings();
    // Never a password: url() leaves it out.
    stored.setValue(kServerKey, server.url());
    stored.sync();
}

std::optional<store::ServerAddress> startServer(const CommandLine &commandLine)
{
    if (!commandLine.database.isEmpty())
        return store::ServerAddress::parse(commandLine.database);
    if (!commandLine.folder.isEmpty() && !commandLine.userFolder)
        return std::nullopt;
    return rememberedDataServer();
}

StartFolder startFolder(const CommandLine &commandLine)
{
    if (!commandLine.folder.isEmpty() && !commandLine.userFolder)
        return {commandLine.folder, {}, {}};
    const QString remembered = rememberedDataFolder();
    if (!remembered.isEmpty()) {
        // A folder on a drive that is not there now is not made anew empty:
        // the start says so and works where it would without the choice.
        if (QFileInfo(remembered).isDir())
            return {remembered, {}, {}};
        return {commandLine.folder, remembered, commandLine.folder.isEmpty() ? QDir::currentPath() : commandLine.folder};
    }
    return {commandLine.folder, {}, {}};
}

QString goneFolderNote(const StartFolder &start)
{
    if (start.gone.isEmpty())
        return QString();
    return QCoreApplication::translate("DataSource", "The data folder %1 chosen last time is not there. "
                                                     "Korvane works in %2 instead.")
        .arg(QDir::toNativeSeparators(start.gone), QDir::toNativeSeparators(start.instead));
}

DataSourceDialog::DataSourceDialog(const QString &currentFolder,
                                   const std::optional<store::ServerAddress> &currentServer, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DataSourceDialog"));
    setWindowTitle(tr("Data source"));
    auto *column = new QVBoxLayout(this);

    // One choice per kind of data source: a folder, or a database server.
    m_folderChoice = new QRadioButton(tr("Folder on this computer or a network drive"), this);
    m_folderChoice->setObjectName(QStringLiteral("FolderChoice"));
    column->addWidget(m_folderChoice);
    auto *folderGroup = new QGroupBox(this);
    m_folderPart = folderGroup;
    folderGroup->setObjectName(QStringLiteral("FolderGroup"));
    auto *folderRow = new QHBoxLayout(folderGroup);
    m_folderEdit = new QLineEdit(QDir::toNativeSeparators(currentFolder), folderGroup);
    m_folderEdit->setObjectName(QStringLiteral("FolderEdit"));
    m_folderEdit->setMinimumWidth(420);
    folderRow->addWidget(m_folderEdit);
    auto *browse = new QPushButton(tr("Browse..."), folderGroup);
    browse->setObjectName(QStringLiteral("Browse"));
    connect(browse, &QPushButton::clicked, this, &DataSourceDialog::BrowseClick);
    folderRow->addWidget(browse);
    column->addWidget(folderGroup);

    m_serverChoice = new QRadioButton(tr("Database server shared by several stations"), this);
    m_serverChoice->setObjectName(QStringLiteral("ServerChoice"));
    column->addWidget(m_serverChoice);
    auto *serverGroup = new QGroupBox(this);
    m_serverPart = serverGroup;
    serverGroup->setObjectName(QStringLiteral("ServerGroup"));
    auto *serverColumn = new QVBoxLayout(serverGroup);
    m_serverEdit = new QLineEdit(currentServer ? currentServer->url() : QString(), serverGroup);
    m_serverEdit->setObjectName(QStringLiteral("ServerEdit"));
    m_serverEdit->setPlaceholderText(QStringLiteral("postgresql://user@host:5432/korvane?sslmode=verify-full"));
    serverColumn->addWidget(m_serverEdit);
    auto *passwordNote = new QLabel(tr("The password comes from ~/.pgpass or the service file, or is asked for; "
                                       "Korvane never stores it."),
                                    serverGroup);
    passwordNote->setWordWrap(true);
    serverColumn->addWidget(passwordNote);
    m_copyFolder = new QCheckBox(tr("Copy the tables of the current folder there first (only into empty tables)"),
                                 serverGroup);
    m_copyFolder->setObjectName(QStringLiteral("CopyFolder"));
    m_copyFolder->setEnabled(!currentServer);
    serverColumn->addWidget(m_copyFolder);
    column->addWidget(serverGroup);

    (currentServer ? m_serverChoice : m_folderChoice)->setChecked(true);
    connect(m_folderChoice, &QRadioButton::toggled, this, &DataSourceDialog::showChoice);
    showChoice();

    m_failure = new QLabel(this);
    m_failure->setObjectName(QStringLiteral("FailureReason"));
    m_failure->setWordWrap(true);
    m_failure->setTextFormat(Qt::PlainText);
    m_failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_failure->hide();
    column->addWidget(m_failure);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

QString DataSourceDialog::folder() const
{
    const QString typed = m_folderEdit->text().trimmed();
    if (typed.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(typed)).absoluteFilePath());
}

std::optional<store::ServerAddress> DataSourceDialog::server() const
{
    if (!m_serverChoice->isChecked())
        return std::nullopt;
    return store::ServerAddress::parse(m_serverEdit->text());
}

bool DataSourceDialog::copyFolder() const
{
    return m_serverChoice->isChecked() && m_copyFolder->isEnabled() && m_copyFolder->isChecked();
}

void DataSourceDialog::showChoice()
{
    m_folderPart->setEnabled(m_folderChoice->isChecked());
    m_serverPart->setEnabled(m_serverChoice->isChecked());
}

void DataSourceDialog::showFailure(const QString &reason)
{
    m_failure->setText(reason);
    m_failure->setVisible(!reason.isEmpty());
    // Room for the reason without squeezing the fields above it.
    resize(size().expandedTo(sizeHint()));
}

void DataSourceDialog::accept()
{
    QString why;
    if (m_serverChoice->isChecked() && !store::ServerAddress::parse(m_serverEdit->text(), &why)) {
        platform::messageBoxes().error(this, why);
        m_serverEdit->setFocus();
        return;
    }
    // A mistyped path must not become a new, empty data folder unasked.
    const QString chosenFolder = folder();
    if (m_folderChoice->isChecked() && !chosenFolder.isEmpty() && !QFileInfo::exists(chosenFolder)
        && !platform::messageBoxes().confirm(
            this, tr("Create the folder %1?").arg(QDir::toNativeSeparators(chosenFolder)))) {
        m_folderEdit->setFocus();
        return;
    }
    showFailure(QString());
    if (m_apply && !m_apply())
        return;
    QDialog::accept();
}

void DataSourceDialog::BrowseClick()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Choose the data folder"), folder(),
                                                             QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(chosen));
}

} // namespace app
