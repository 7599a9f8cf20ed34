#include "gui/computing_options_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <fmt/format.h>

#include "astro/hindu.h"
#include "core/ephemeris_library.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"
#include "gui/settings_dialogs.h"
#include "sky/ayanamsa.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }
std::string text_of(const QLineEdit* e) { return e->text().toStdString(); }
const char* yes_no(const QAbstractButton* b) { return b->isChecked() ? "yes" : "no"; }

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

// A button that Enter does not press while it has the focus: Enter stays OK.
QPushButton* side_button(const QString& label, QWidget* parent, const char* name) {
    auto* b = named(new QPushButton(label, parent), name);
    b->setAutoDefault(false);
    return b;
}

// The preset buttons of a zero date: "&" before the caption for the mnemonic.
QWidget* preset_row(QWidget* parent, const std::array<Str, 3>& names, const std::function<void(std::size_t)>& pick) {
    auto* box = new QGroupBox(tr_(Str::CmpPresets), parent);
    auto* row = new QHBoxLayout(box);
    static const char* const kNames[] = {"preset_default", "preset_fagan_bradley", "preset_raman"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        QPushButton* b = side_button("&" + tr_(names[i]), box, kNames[i]);
        QObject::connect(b, &QPushButton::clicked, box, [pick, i] { pick(i); });
        row->addWidget(b);
    }
    return box;
}

// --- "&Astrology..." ------------------------------------------------------------------------

class AstrologyDialog : public ComputingDialog {
public:
    explicit AstrologyDialog(MainWindow& w) : ComputingDialog(w, Str::CmpAstrologyTitle) {
        const AstroSettings& a = w.app().options().astro;
        auto* zodiac = new QGroupBox(tr_(Str::CmpZodiac), this);
        auto* zl = new QVBoxLayout(zodiac);
        m_movable = named(new QRadioButton(tr_(Str::CmpMovable), zodiac), "movable");
        m_fixed = named(new QRadioButton(tr_(Str::CmpFixed), zodiac), "fixed");
        zl->addWidget(m_movable);
        zl->addWidget(m_fixed);
        (a.zodiac_movable ? m_movable : m_fixed)->setChecked(true);
        m_fortune = named(new QCheckBox(tr_(Str::CmpDayNightFortune), this), "day_night_fortune");
        m_fortune->setChecked(a.fortune_day_night != 0);
        auto* body = new QVBoxLayout;
        body->addWidget(zodiac);
        body->addWidget(m_fortune);
        finish(body);
    }

private:
    std::vector<Edit> edits() override {
        return {key_edit(m_movable, "astro.zodiac", [this] { return m_movable->isChecked() ? "movable" : "fixed"; }),
                key_edit(m_fortune, "astro.day-night-fortune", [this] { return yes_no(m_fortune); })};
    }
    QRadioButton *m_movable, *m_fixed;
    QCheckBox* m_fortune;
};

// --- "A&yanamsa..." -------------------------------------------------------------------------

class AyanamsaDialog : public ComputingDialog {
public:
    explicit AyanamsaDialog(MainWindow& w) : ComputingDialog(w, Str::CmpAyanamsaTitle) {
        m_initial = format_date_hour(w.app().options().astro.zero_date);
        m_zero = named(new QLineEdit(qs(m_initial), this), "zero_date");
        m_zero->setMinimumWidth(240);
        auto* form = new QFormLayout;
        form->addRow(tr_(Str::CmpZeroDate), m_zero);
        auto* presets = preset_row(this, {kAyanamsaPresets[0].name, kAyanamsaPresets[1].name, kAyanamsaPresets[2].name},
                                   [this](std::size_t i) {
                                       m_zero->setText(qs(kAyanamsaPresets[i].zero_date));
                                       test();
                                   });
        auto* test_button = side_button(tr_(Str::CmpTest), this, "test");
        connect(test_button, &QPushButton::clicked, this, [this] {
            if (!test()) refuse();
        });
        m_aya_2000 = named(new QLabel(this), "ayanamsa_2000");
        m_aquarius = named(new QLabel(this), "aquarius_era");
        auto* results = new QFormLayout;
        results->addRow(tr_(Str::SkyAyanamsa2000), m_aya_2000);
        results->addRow(tr_(Str::SkyAquariusEra), m_aquarius);
        auto* test_row = new QHBoxLayout;
        test_row->addWidget(test_button, 0, Qt::AlignTop);
        test_row->addLayout(results, 1);
        auto* body = new QVBoxLayout;
        body->addLayout(form);
        body->addWidget(presets);
        body->addLayout(test_row);
        finish(body);
        test();
    }

private:
    // Shows the test of the zero date typed; false when it is no date.
    bool test() {
        const std::optional<DateHour> zero = parse_zero_date(text_of(m_zero));
        if (!zero) return false;
        const AyanamsaTest t = ayanamsa_test(*zero);
        m_aya_2000->setText(qs(t.ayanamsa_2000_text()));
        m_aquarius->setText(qs(t.aquarius_era_text()));
        return true;
    }
    void refuse() {
        m_window.app().messages().tell(str(Str::ExaltationBadZeroDate), str(Str::FilesCaptionError), MessageIcon::Warning);
        m_zero->setFocus();
        m_zero->selectAll();
    }
    std::vector<Edit> edits() override {
        // An untouched date is kept as stored rather than read back from its text.
        if (text_of(m_zero) == m_initial) return {};
        return {key_edit(m_zero, "astro.zero-date", [this] { return text_of(m_zero); })};
    }
    std::string m_initial;
    QLineEdit* m_zero;
    QLabel *m_aya_2000, *m_aquarius;
};

// --- "&Houses division..." ------------------------------------------------------------------

class HousesDialog : public ComputingDialog {
public:
    explicit HousesDialog(MainWindow& w) : ComputingDialog(w, Str::CmpHousesTitle) {
        const AstroSettings& a = w.app().options().astro;
        m_system = named(new QListWidget(this), "system");
        for (int i = 0; i < kHouseSystemCount; ++i) m_system->addItem(qs(house_system_name(i)));
        m_system->setCurrentRow(a.house_system < kHouseSystemCount ? int{a.house_system} : int{kHindoue});
        m_system->setFixedHeight(m_system->sizeHintForRow(0) * kHouseSystemCount + 2 * m_system->frameWidth());
        m_same = named(new QCheckBox(tr_(Str::CmpSameDirection), this), "same_direction");
        m_same->setChecked(a.same_direction != 0);
        m_center = named(new QCheckBox(tr_(Str::CmpCuspCenter), this), "cusp_center");
        m_center->setChecked(a.house_cusp_center != 0);
        auto* label = new QLabel(tr_(Str::CmpHouseSystem), this);
        label->setBuddy(m_system);
        auto* body = new QVBoxLayout;
        body->addWidget(label);
        body->addWidget(m_system);
        body->addWidget(m_same);
        body->addWidget(m_center);
        finish(body);
    }

private:
    std::vector<Edit> edits() override {
        return {key_edit(m_system, "astro.house-system", [this] { return std::to_string(m_system->currentRow()); }),
                key_edit(m_same, "astro.same-direction", [this] { return yes_no(m_same); }),
                key_edit(m_center, "astro.house-cusp-center", [this] { return yes_no(m_center); })};
    }
    QListWidget* m_system;
    QCheckBox *m_same, *m_center;
};

// --- "Dasas periods ayana&msa..." -----------------------------------------------------------

class DasaDialog : public ComputingDialog {
public:
    explicit DasaDialog(MainWindow& w) : ComputingDialog(w, Str::DasaZeroDateTitle) {
        const DasaTable& t = w.app().options().dasas;
        m_zero = named(new QLineEdit(qs(format_date_hour(t.zero_date)), this), "zero_date");
        m_zero->setMinimumWidth(240);
        m_year = named(new QLineEdit(qs(fmt::format("{}", t.year_length)), this), "year_length");
        auto* form = new QFormLayout;
        form->addRow(tr_(Str::CmpZeroDate), m_zero);
        form->addRow(tr_(Str::CmpYearLength), m_year);
        auto* presets = preset_row(this, {kDasaPresets[0].name, kDasaPresets[1].name, kDasaPresets[2].name},
                                   [this](std::size_t i) {
                                       m_zero->setText(qs(kDasaPresets[i].zero_date));
                                       m_year->setText(qs(kDasaPresets[i].year_length));
                                   });
        auto* body = new QVBoxLayout;
        body->addLayout(form);
        body->addWidget(presets);
        finish(body);
    }

private:
    // Both fields together, as the period table is built from both; OK always builds it again.
    std::vector<Edit> edits() override {
        return {{m_zero, [this](OptionContext& ctx, QWidget*& failed) -> OptionSetResult {
                     DasaSettingsResult r = apply_dasa_settings(ctx.options.dasas, text_of(m_zero), text_of(m_year));
                     if (r.ok) return std::nullopt;
                     if (r.message == str(Str::DasaBadYearLength)) failed = m_year;
                     return r.message;
                 }}};
    }
    QLineEdit *m_zero, *m_year;
};

// --- "Eph&emeris ..." -----------------------------------------------------------------------

// The provider that the dialog shows is loaded in the application's place (a provider keeps
// its state in its shared library, so a second copy of the same one cannot be loaded beside
// it); Cancel loads the one of the settings again.
class EphemerisDialog : public ComputingDialog {
public:
    explicit EphemerisDialog(MainWindow& w) : ComputingDialog(w, Str::CmpEphemerisTitle) {
        const EphemerisChoice& e = w.app().options().ephemeris;
        auto* library = new QGroupBox(tr_(Str::CmpLibrary), this);
        auto* ll = new QVBoxLayout(library);
        static const char* const kNames[] = {"low", "bdl", "jpl"};
        const Str captions[] = {Str::EphemerisLowName, Str::EphemerisBdlName, Str::EphemerisJplName};
        for (int t = 0; t < 3; ++t) {
            m_types[t] = named(new QRadioButton("&" + tr_(captions[t]), library), kNames[t]);
            ll->addWidget(m_types[t]);
        }
        m_initial_file = e.jpl_file;
        m_file = named(new QLineEdit(qs(e.jpl_file), library), "jpl_file");
        m_file->setMinimumWidth(320);
        auto* browse = side_button(tr_(Str::CmpBrowse), library, "browse");
        auto* file_row = new QHBoxLayout;
        auto* file_label = new QLabel(tr_(Str::CmpJplFile), library);
        file_label->setBuddy(m_file);
        file_row->addWidget(file_label);
        file_row->addWidget(m_file, 1);
        file_row->addWidget(browse);
        ll->addLayout(file_row);

        auto* infos = new QGroupBox(tr_(Str::CmpInfos), this);
        auto* il = new QFormLayout(infos);
        static const char* const kInfoNames[] = {"info_name", "info_theory", "info_validity"};
        const Str info_labels[] = {Str::CmpInfoName, Str::CmpInfoTheory, Str::CmpInfoValidity};
        for (std::size_t i = 0; i < m_infos.size(); ++i) {
            m_infos[i] = named(new QLabel(infos), kInfoNames[i]);
            m_infos[i]->setWordWrap(true);
            m_infos[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
            m_infos[i]->setMinimumWidth(420);
            il->addRow(tr_(info_labels[i]), m_infos[i]);
        }
        auto* body = new QVBoxLayout;
        body->addWidget(library);
        body->addWidget(infos);
        finish(body);

        m_types[e.type >= 0 && e.type < 3 ? e.type : 0]->setChecked(true);
        for (QRadioButton* r : m_types)
            connect(r, &QRadioButton::toggled, this, [this](bool on) {
                if (on) show_library();
            });
        connect(m_file, &QLineEdit::editingFinished, this, [this] { show_library(); });
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString path = QFileDialog::getOpenFileName(this, tr_(Str::ChooseBinaryJplFile), m_file->text(),
                                                              tr_(Str::CmpAllFiles));
            if (path.isEmpty()) return;
            m_file->setText(path);
            m_types[kEphemerisJpl]->setChecked(true);
            show_library();
        });
        show_library();
    }

    void reject() override {
        const EphemerisChoice& e = m_window.app().options().ephemeris;
        if (EphemerisStatus s = m_window.app().ephemeris().load(e.type, e.jpl_file); !s)
            m_window.app().messages().tell(s.message, str(Str::EphemerisCaptionError), MessageIcon::Error);
        QDialog::reject();
    }

private:
    int type() const {
        for (int t = 0; t < 3; ++t)
            if (m_types[t]->isChecked()) return t;
        return kEphemerisLow;
    }
    // Loads the chosen provider and shows its three texts, or why it did not load.
    void show_library() {
        EphemerisLibrary& library = m_window.app().ephemeris();
        std::array<std::string, 3> texts;
        if (EphemerisStatus s = library.load(type(), text_of(m_file)); s) {
            texts = library.infos();
        } else {
            const std::size_t cut = s.message.find('\n');
            texts[0] = s.message.substr(0, cut);
            if (cut != std::string::npos) texts[1] = s.message.substr(cut + 1);
        }
        for (std::size_t i = 0; i < texts.size(); ++i) m_infos[i]->setText(qs(texts[i]));
    }
    std::vector<Edit> edits() override {
        std::vector<Edit> e{key_edit(m_types[0], "ephemeris.type",
                                     [this] { return std::string(ephemeris_type_name(type())); })};
        if (text_of(m_file) != m_initial_file)
            e.push_back(key_edit(m_file, "ephemeris.jpl-file", [this] { return text_of(m_file); }));
        return e;
    }
    // The settings are saved: their provider is loaded again.
    void saved() override {
        const EphemerisChoice& e = m_window.app().options().ephemeris;
        EphemerisLibrary& library = m_window.app().ephemeris();
        library.unload();
        if (EphemerisStatus s = library.load(e.type, e.jpl_file); !s)
            m_window.app().messages().tell(s.message, str(Str::EphemerisCaptionError), MessageIcon::Error);
    }
    std::array<QRadioButton*, 3> m_types{};
    std::string m_initial_file;
    QLineEdit* m_file;
    std::array<QLabel*, 3> m_infos{};
};

}  // namespace

ComputingDialog::ComputingDialog(MainWindow& window, Str title) : QDialog(&window), m_window(window) {
    setWindowTitle(tr_(title));
}

ComputingDialog::Edit ComputingDialog::key_edit(QWidget* field, const char* key, std::function<std::string()> value) {
    return {field, [key, value = std::move(value)](OptionContext& ctx, QWidget*&) -> OptionSetResult {
                return find_option_key(key)->set(ctx, {value()});
            }};
}

void ComputingDialog::finish(QLayout* body) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ComputingDialog::accept() {
    TellurimApp& app = m_window.app();
    const Options before = app.options();
    const std::vector<Edit> list = edits();
    QWidget* failed = nullptr;
    std::string message;
    const bool written = app.update_options([&](Options& o) {
        OptionContext ctx{o, app.private_dir(), app.horoscopes_dir(), app.messages()};
        for (const Edit& e : list) {
            failed = e.field;
            if (OptionSetResult r = e.store(ctx, failed)) {
                message = *r;
                return false;
            }
        }
        failed = nullptr;
        return !list.empty();
    });
    if (failed) {
        // An empty message: the row has told the user already.
        if (!message.empty()) app.messages().tell(message, str(Str::FilesCaptionError), MessageIcon::Warning);
        failed->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(failed)) line->selectAll();
        return;
    }
    if (!written) return;
    QDialog::accept();
    saved();
    if (app.options() == before) return;
    // The open horoscopes follow the new settings.
    for (const auto& chart : app.horoscopes())
        if (app.recompute(*chart)) m_window.refresh(*chart);
}

std::unique_ptr<ComputingDialog> make_computing_dialog(Str command, MainWindow& window) {
    switch (command) {
        case Str::GuiAstrology: return std::make_unique<AstrologyDialog>(window);
        case Str::GuiAyanamsa: return std::make_unique<AyanamsaDialog>(window);
        case Str::GuiHouses: return std::make_unique<HousesDialog>(window);
        case Str::GuiDasaAyanamsa: return std::make_unique<DasaDialog>(window);
        case Str::GuiEphemeris: return std::make_unique<EphemerisDialog>(window);
        default: return nullptr;
    }
}

DialogOpener computing_options_dialog(Str command) {
    switch (command) {
        case Str::GuiAstrology: return [](MainWindow& w) { make_computing_dialog(Str::GuiAstrology, w)->exec(); };
        case Str::GuiAyanamsa: return [](MainWindow& w) { make_computing_dialog(Str::GuiAyanamsa, w)->exec(); };
        case Str::GuiHouses: return [](MainWindow& w) { make_computing_dialog(Str::GuiHouses, w)->exec(); };
        case Str::GuiDasaAyanamsa: return [](MainWindow& w) { make_computing_dialog(Str::GuiDasaAyanamsa, w)->exec(); };
        case Str::GuiEphemeris: return [](MainWindow& w) { make_computing_dialog(Str::GuiEphemeris, w)->exec(); };
        default: return nullptr;
    }
}

}  // namespace tellurim
