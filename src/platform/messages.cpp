#include "platform/messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {

class ScreenMessageBoxes final : public MessageBoxes {
public:
    void inform(QWidget *parent, const QString &text) override
    {
        QMessageBox::information(parent, QApplication::applicationName(), text);
    }
    void titled(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox::warning(parent, title, text);
    }
    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox::critical(parent, QApplication::applicationName(), text);
    }
    bool confirm(QWidget *parent, const QString &text) override
    {
        return QMessageBox::question(parent, QApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
    bool ask(QWidget *parent, const QString &text) override
    {
        return QMessageBox::question(parent, QApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes;
    }
    SaveAnswer askToSave(QWidget *parent, const QString &text, bool cancellable) override
    {
        QMessageBox::StandardButtons buttons = QMessageBox::Save | QMessageBox::Discard;
        if (cancellable)
            buttons |= QMessageBox::Cancel;
        QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, buttons, parent);
        box.setDefaultButton(QMessageBox::Save);
        if (cancellable)
            box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Save:
            return SaveAnswer::Save;
        case QMessageBox::Discard:
            return SaveAnswer::Discard;
        default:
            // Closed without an answer: nothing is given up.
            return cancellable ? SaveAnswer::Cancel : SaveAnswer::Save;
        }
    }

    std::optional<QString> askPassword(QWidget *parent, const QString &title, const QString &label) override
    {
        bool given = false;
        const QString password = QInputDialog::getText(parent, title, label, QLineEdit::Password, QString(), &given);
        if (!given || password.isEmpty())
            return std::nullopt;
        return password;
    }
    ExportScope askExportScope(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::Cancel, parent);
        QPushButton *filtered = box.addButton(QCoreApplication::translate("MessageBoxes", "As filtered"), QMessageBox::AcceptRole);
        QPushButton *all = box.addButton(QCoreApplication::translate("MessageBoxes", "All tests"), QMessageBox::AcceptRole);
        box.setDefaultButton(filtered);
        box.setEscapeButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() == filtered)
            return ExportScope::Filtered;
        if (box.clickedButton() == all)
            return ExportScope::All;
        return ExportScope::Cancel;
    }
};

ScreenMessageBoxes screenBoxes;
MessageBoxes *installedBoxes = nullptr;

} // namespace

MessageBoxes &messageBoxes()
{
    return installedBoxes ? *installedBoxes : screenBoxes;
}

void setMessageBoxes(MessageBoxes *boxes)
{
    installedBoxes = boxes;
}

} // namespace platform
