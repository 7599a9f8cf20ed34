#pragma once
// Small pieces shared by the Configuration menu's dialogs.

#include <QString>
#include <string>

#ifndef Q_MOC_RUN
#include "base/strings.h"
#include "core/messages.h"
#endif

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QWidget;

namespace tellurim {

class TellurimApp;

// The run's options record read again from the options file (under its lock), so that a
// dialog shows what a `tellurim` command may have changed since start-up.
void reread_options(TellurimApp& app);

// A command's text without its mnemonic and trailing dots: the dialog's title.
QString command_caption(Str command);
// A button beside a field; Enter still means OK.
QPushButton* side_button(const QString& label, QWidget* parent, const char* name);
// `field` and `button` on one row.
QWidget* with_button(QWidget* parent, QWidget* field, QPushButton* button);
// OK (the default button, Enter) and Cancel (Escape) of `dialog`.
QDialogButtonBox* ok_cancel(QDialog* dialog);
// Shows a refusal (caption "Error", unless `message` is empty: told already) and puts the
// focus on its field, whose text is selected.
void refuse(MessageSink& messages, const std::string& message, QWidget* focus);

}  // namespace tellurim
