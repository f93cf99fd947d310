#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace platform {

// The answers to the question asked before unsaved results are given up.
enum class SaveAnswer { Save, Discard, Cancel };
// Which tests an export takes while the test grid is filtered.
enum class ExportScope { All, Filtered, Cancel };

// The program's message boxes.  Windows never open a box themselves: they go
// through this interface so that tests can answer boxes without a screen.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A plain modal box with an OK button and the application's title.
    virtual void inform(QWidget *parent, const QString &text) = 0;
    // A modal box with its own title and an OK button.
    virtual void titled(QWidget *parent, const QString &title, const QString &text) = 0;
    // A failed action's message.
    virtual void error(QWidget *parent, const QString &text) = 0;
    // A yes/no question; true on yes.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // A yes/no question whose default answer is yes; true on yes.  Boxes
    // that do not tell the two apart answer it as confirm().
    virtual bool ask(QWidget *parent, const QString &text) { return confirm(parent, text); }
    // Asked before results that were not saved are given up: Save (the
    // default), Discard and, where the action can be called off, Cancel.
    // Boxes that cannot ask keep the results: they answer Save.
    virtual SaveAnswer askToSave(QWidget *parent, const QString &text, bool cancellable)
    {
        static_cast<void>(parent);
        static_cast<void>(text);
        static_cast<void>(cancellable);
        return SaveAnswer::Save;
    }
    // Asked before an export while the tests are filtered: all tests, those
    // shown (the default) or none.  Boxes that cannot ask take those shown.
    virtual ExportScope askExportScope(QWidget *parent, const QString &text)
    {
        static_cast<void>(parent);
        static_cast<void>(text);
        return ExportScope::Filtered;
    }
    // Asks for a password, typed masked; nothing when none was given.
    // Boxes that cannot ask give none.
    virtual std::optional<QString> askPassword(QWidget *parent, const QString &title, const QString &label)
    {
        static_cast<void>(parent);
        static_cast<void>(title);
        static_cast<void>(label);
        return std::nullopt;
    }
};

// The boxes in use: the real ones unless a test installed others.
MessageBoxes &messageBoxes();
// Installs replacement boxes (nullptr restores the real ones).
void setMessageBoxes(MessageBoxes *boxes);

} // namespace platform
