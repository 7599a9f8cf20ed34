#pragma once
// The Options menu's dialogs of the computation: "&Astrology...", "A&yanamsa...", "&Houses
// division...", "Dasas periods ayana&msa..." and "Eph&emeris ...". Each shows the settings as
// the options file holds them and, on OK, stores its fields through the rows of
// `tellurim options set` (files/option_keys.h) in one locked write of the file: the first
// refusal shows the row's message, keeps the dialog open and puts the focus on its field.
// After a change the open horoscopes are computed again and redrawn.

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#ifndef Q_MOC_RUN
#include "base/strings.h"
#include "files/option_keys.h"
#endif

namespace tellurim {

class MainWindow;

class ComputingDialog : public QDialog {
public:
    ComputingDialog(MainWindow& window, Str title);
    void accept() override;

protected:
    // One setting written on OK: `store` puts the field's value in the record and returns the
    // refusal's message; it may name another field than `field` as the one to correct.
    struct Edit {
        QWidget* field;
        std::function<OptionSetResult(OptionContext& ctx, QWidget*& failed)> store;
    };
    // An edit that runs the `options set` row `key` with `value`.
    static Edit key_edit(QWidget* field, const char* key, std::function<std::string()> value);
    virtual std::vector<Edit> edits() = 0;
    // After the settings are saved, before the horoscopes are computed again.
    virtual void saved() {}
    // Lays out `body` above the OK and Cancel buttons.
    void finish(QLayout* body);

    MainWindow& m_window;
};

// The dialog of one of the five commands, not yet shown; null for another command.
std::unique_ptr<ComputingDialog> make_computing_dialog(Str command, MainWindow& window);

}  // namespace tellurim
