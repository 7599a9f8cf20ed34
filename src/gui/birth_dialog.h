#pragma once
// The new-chart dialog: the person, the local date and hour, the place (typed, or found in the
// atlas with the search's feedback) and the correction to universal time. The checks are
// those of app/birth_form.h; a refusal shows its message and puts the focus on its field.

#include <QDialog>
#include <optional>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "app/birth_form.h"
#endif

class QLineEdit;
class QCheckBox;
class QRadioButton;
class QPlainTextEdit;
class QPushButton;

namespace tellurim {

class BirthDialog : public QDialog {
    Q_OBJECT
public:
    BirthDialog(const Options& options, MessageSink& messages, QWidget* parent = nullptr);
    // The fields as typed.
    BirthForm form() const;
    void set_form(const BirthForm& form);
    // The birth data once the dialog is accepted.
    const std::optional<BirthData>& birth() const { return m_birth; }
    QString feedback() const;
    // The private directory, whose keys file the "Google Maps" button reads; the button is
    // offered once it is set.
    void set_private_dir(const std::string& dir);

public slots:
    void accept() override;
    void find_city();
    void google_maps();

private:
    QLineEdit* field(BirthField f) const;
    QLineEdit* field(BirthFormField f) const;

    const Options& m_options;
    MessageSink& m_messages;
    std::optional<BirthData> m_birth;
    QLineEdit *m_name, *m_first_name, *m_day, *m_month, *m_year, *m_hour, *m_minute, *m_second;
    QLineEdit *m_city, *m_county, *m_state, *m_country, *m_longitude, *m_latitude, *m_correction;
    QRadioButton *m_neuter, *m_man, *m_woman;
    QCheckBox *m_bce, *m_julian;
    QPlainTextEdit* m_feedback;
    QPushButton* m_maps;
    std::string m_private_dir;
};

}  // namespace tellurim
