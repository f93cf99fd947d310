#include "app/datasource.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace app {
namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane"));
}

const QString kFolderKey = QStringLiteral("DataSource/Folder");

} // namespace

QString rememberedDataFolder()
{
    return settings().value(kFolderKey).toString();
}

void rememberDataFolder(const QString &folder)
{
    QSettings stored = settings();
    stored.setValue(kFolderKey, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    stored.sync();
}

QString startFolder(const CommandLine &commandLine, QString *note)
{
    if (!commandLine.folder.isEmpty() && !commandLine.userFolder)
        return commandLine.folder;
    const QString remembered = rememberedDataFolder();
    if (!remembered.isEmpty()) {
        // A folder on a drive that is not there now is not made anew empty:
        // the start says so and works where it would without the choice.
        if (QFileInfo(remembered).isDir())
            return remembered;
        if (note) {
            const QString instead = commandLine.folder.isEmpty() ? QDir::currentPath() : commandLine.folder;
            *note = QCoreApplication::translate("DataSource", "The data folder %1 chosen last time is not there. "
                                                              "Korvane works in %2 instead.")
                        .arg(QDir::toNativeSeparators(remembered), QDir::toNativeSeparators(instead));
        }
    }
    return commandLine.folder;
}

DataSourceDialog::DataSourceDialog(const QString &currentFolder, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DataSourceDialog"));
    setWindowTitle(tr("Data source"));
    auto *column = new QVBoxLayout(this);

    // One group per kind of data source; today a folder.
    auto *folderGroup = new QGroupBox(tr("Folder on this computer or a network drive"), this);
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

void DataSourceDialog::BrowseClick()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Choose the data folder"), folder(),
                                                             QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(chosen));
}

} // namespace app
