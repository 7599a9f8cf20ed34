#include "gui/configuration_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "app/cli_db.h"
#include "files/stars_file.h"
#include "gui/configuration_widgets.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"
#include "gui/settings_dialogs.h"

namespace tellurim {

QString command_caption(Str command) {
    QString t = qs(text(command)).remove('&');
    while (t.endsWith('.') || t.endsWith(' ')) t.chop(1);
    return t;
}

QPushButton* side_button(const QString& label, QWidget* parent, const char* name) {
    auto* b = new QPushButton(label, parent);
    b->setAutoDefault(false);  // Enter stays OK
    b->setObjectName(name);
    return b;
}

QWidget* with_button(QWidget* parent, QWidget* field, QPushButton* button) {
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(field, 1);
    l->addWidget(button);
    return w;
}

void refuse(MessageSink& messages, const std::string& message, QWidget* focus) {
    // An empty message: the check has told the user already.
    if (!message.empty()) messages.tell(message, str(Str::FilesCaptionError), MessageIcon::Warning);
    if (!focus) return;
    focus->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(focus)) e->selectAll();
}

void reread_options(TellurimApp& app) {
    Options now = app.options();
    (void)update_options(app.private_dir(), app.settings().options, [&](Options& o) {
        now = o;
        return false;  // read only
    });
    app.settings().options = now;
}

// --- KeyedDialog ------------------------------------------------------------------------------

KeyedDialog::KeyedDialog(TellurimApp& app, const QString& title, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(title);
    reread_options(app);
}

OptionContext KeyedDialog::context(Options& o, MessageSink& messages) const {
    return OptionContext{o, m_app.private_dir(), m_app.horoscopes_dir(), messages};
}

void KeyedDialog::bind(const char* key, QWidget* focus, Wanted wanted) {
    m_bindings.push_back({find_option_key(key), focus, std::move(wanted)});
}

QLineEdit* KeyedDialog::bind_line(const char* key, const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    const OptionKey* k = find_option_key(key);
    Options o = m_app.options();
    RecordingMessages quiet;
    e->setText(qs(k->get(context(o, quiet))));
    bind(key, e, [e, k](const OptionContext& c) -> std::optional<std::vector<std::string>> {
        std::string t = e->text().toStdString();
        if (t == k->get(c)) return std::nullopt;
        return std::vector{std::move(t)};
    });
    return e;
}

QCheckBox* KeyedDialog::bind_check(const char* key, Str label, const char* name) {
    auto* b = new QCheckBox(qs(text(label)), this);
    b->setObjectName(name);
    const OptionKey* k = find_option_key(key);
    Options o = m_app.options();
    RecordingMessages quiet;
    b->setChecked(k->get(context(o, quiet)) == "yes");
    bind(key, b, [b, k](const OptionContext& c) -> std::optional<std::vector<std::string>> {
        std::string v = b->isChecked() ? "yes" : "no";
        if (v == k->get(c)) return std::nullopt;
        return std::vector{std::move(v)};
    });
    return b;
}

std::optional<std::pair<std::string, QWidget*>> KeyedDialog::apply(Options& o, MessageSink& messages) const {
    OptionContext ctx = context(o, messages);
    for (const Binding& b : m_bindings) {
        auto values = b.wanted(ctx);
        if (!values) continue;
        if (auto refusal = b.key->set(ctx, *values)) return std::pair{*refusal, b.focus};
    }
    return std::nullopt;
}

std::optional<Options> KeyedDialog::checked() {
    Options o = m_app.options();
    if (auto refusal = apply(o, m_app.messages())) {
        refuse(m_app.messages(), refusal->first, refusal->second);
        return std::nullopt;
    }
    return o;
}

void KeyedDialog::accept() {
    if (!checked()) return;
    // Set again on the record as the file holds it now, under its lock, as `options set` does.
    RecordingMessages quiet;
    const bool saved = update_options(m_app.private_dir(), m_app.settings().options,
                                      [&](Options& o) { return !apply(o, quiet); });
    if (!saved) {
        m_app.messages().tell(options_file_path(m_app.private_dir()), str(Str::OptionsCannotSave), MessageIcon::Error);
        return;
    }
    QDialog::accept();
}

QDialogButtonBox* KeyedDialog::buttons() { return ok_cancel(this); }

QDialogButtonBox* ok_cancel(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

// --- the directories ---------------------------------------------------------------------------

DirectoryDialog::DirectoryDialog(DirectoryKind kind, TellurimApp& app, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_app(app) {
    const bool is_private = kind == DirectoryKind::Private;
    setWindowTitle(qs(text(is_private ? Str::DirPrivateDialogTitle : Str::DirHoroscopesDialogTitle)));
    const std::string& current = is_private ? app.private_dir() : app.horoscopes_dir();
    auto* shown = new QLineEdit(qs(current), this);
    shown->setReadOnly(true);
    shown->setObjectName("current_directory");
    shown->setFocusPolicy(Qt::NoFocus);
    m_new = new QLineEdit(qs(current), this);
    m_new->setObjectName("new_directory");
    m_new->setMinimumWidth(420);
    auto* browse = side_button(qs(text(Str::DirBrowse)), this, "browse");
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, windowTitle(), m_new->text());
        if (!d.isEmpty()) m_new->setText(d);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qs(text(is_private ? Str::DirPrivateCurrent : Str::DirHoroscopesCurrent)), this));
    layout->addWidget(shown);
    auto* label = new QLabel(qs(text(is_private ? Str::DirPrivateNew : Str::DirHoroscopesNew)), this);
    label->setBuddy(m_new);
    layout->addWidget(label);
    layout->addWidget(with_button(this, m_new, browse));
    layout->addWidget(ok_cancel(this));
    m_new->setFocus();
}

void DirectoryDialog::accept() {
    CliSettings& s = m_app.settings();
    std::string& current = m_kind == DirectoryKind::Private ? s.private_dir : s.horoscopes_dir;
    const std::string wanted = m_new->text().toStdString();
    // The messages are those of `options set directories.*`, said by set_directory itself.
    switch (set_directory(m_kind, current, wanted, m_app.messages())) {
        case SetDirectoryFailure::None: break;
        case SetDirectoryFailure::NotADirectory: refuse(m_app.messages(), {}, m_new); return;
        case SetDirectoryFailure::CannotWrite:
        case SetDirectoryFailure::CannotStore: return;
    }
    current = wanted;
    if (m_kind == DirectoryKind::Private) m_app.interp_list().private_dir = wanted;
    QDialog::accept();
}

// --- directories and files ---------------------------------------------------------------------

PathsDialog::PathsDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(command_caption(Str::GuiDirsFiles));
    reread_options(app);
    m_initial = app.options().paths;
    auto* form = new QFormLayout;
    auto path_row = [&](Str label, const std::string& value, const char* name, int kind) {
        auto* e = new QLineEdit(qs(value), this);
        e->setObjectName(name);
        e->setMinimumWidth(460);
        auto* b = side_button("...", this, (std::string(name) + "_browse").c_str());
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance("...") + 24);
        connect(b, &QPushButton::clicked, this, [this, e, kind] {
            // 0 a directory, 1 a file to read, 2 a file to write
            const QString title = windowTitle();
            const QString p = kind == 0   ? QFileDialog::getExistingDirectory(this, title, e->text())
                              : kind == 1 ? QFileDialog::getOpenFileName(this, title, e->text())
                                          : QFileDialog::getSaveFileName(this, title, e->text(), {}, nullptr,
                                                                         QFileDialog::DontConfirmOverwrite);
            if (!p.isEmpty()) e->setText(p);
        });
        form->addRow(qs(text(label)), with_button(this, e, b));
        return e;
    };
    auto name_row = [&](Str label, const std::string& value, const char* name) {
        auto* e = new QLineEdit(qs(value), this);
        e->setObjectName(name);
        e->setMaxLength(static_cast<int>(kNameUnits) - 1);
        form->addRow(qs(text(label)), e);
        return e;
    };
    const OptionsPaths& p = m_initial;
    m_stars = path_row(Str::PathsLabelStars, p.stars_file, "stars_file", 1);
    m_countries = path_row(Str::PathsLabelCountries, p.countries_dir, "countries_dir", 0);
    m_tcl = path_row(Str::PathsLabelTcl, p.tcl_script_dir, "tcl_script_dir", 0);
    m_editor = path_row(Str::PathsLabelEditor, p.text_editor, "text_editor", 1);
    m_ini = path_row(Str::PathsLabelDbIni, p.db_ini_file, "db_ini_file", 1);
    m_save = path_row(Str::PathsLabelSaveFile, p.save_file, "save_file", 2);
    m_country = name_row(Str::PathsLabelCountry, p.default_country, "default_country");
    m_state = name_row(Str::PathsLabelState, p.default_state, "default_state");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ok_cancel(this));
    m_stars->setFocus();
}

OptionsPaths PathsDialog::values() const {
    auto t = [](const QLineEdit* e) { return e->text().toStdString(); };
    OptionsPaths v;
    v.stars_file = t(m_stars);
    v.countries_dir = t(m_countries);
    v.tcl_script_dir = t(m_tcl);
    v.text_editor = t(m_editor);
    v.db_ini_file = t(m_ini);
    v.save_file = t(m_save);
    v.default_country = t(m_country);
    v.default_state = t(m_state);
    return v;
}

QLineEdit* PathsDialog::field(PathsField f) const {
    switch (f) {
        case PathsField::TclScriptDir: return m_tcl;
        case PathsField::StarsFile: return m_stars;
        case PathsField::CountriesDir: return m_countries;
        case PathsField::TextEditor: return m_editor;
        case PathsField::DbIniFile: return m_ini;
        case PathsField::SaveFile: return m_save;
        case PathsField::None: break;
    }
    return nullptr;
}

void PathsDialog::accept() {
    OptionsPaths v = values();
    const PathsCheck check = check_paths_dialog(v, is_star_catalogue_file);
    if (!check.ok()) return refuse(m_app.messages(), str(check.message), field(check.failed));
    // Only the fields changed here are written, so that a change made meanwhile by another
    // run to another field stays.
    const bool saved = update_options(m_app.private_dir(), m_app.settings().options, [&](Options& o) {
        for (auto member : {&OptionsPaths::stars_file, &OptionsPaths::countries_dir, &OptionsPaths::tcl_script_dir,
                            &OptionsPaths::text_editor, &OptionsPaths::db_ini_file, &OptionsPaths::save_file,
                            &OptionsPaths::default_country, &OptionsPaths::default_state})
            if (v.*member != m_initial.*member) o.paths.*member = v.*member;
        return v != m_initial;
    });
    if (!saved) {
        m_app.messages().tell(options_file_path(m_app.private_dir()), str(Str::OptionsCannotSave), MessageIcon::Error);
        return;
    }
    (void)check_configuration(m_app.options(), m_app.horoscopes_dir(), m_app.messages());
    QDialog::accept();
}

// --- interface ---------------------------------------------------------------------------------

InterfaceDialog::InterfaceDialog(TellurimApp& app, QWidget* parent)
    : KeyedDialog(app, command_caption(Str::GuiInterface), parent) {
    auto* layout = new QVBoxLayout(this);
    const std::pair<const char*, Str> flags[] = {
        {"interface.show-speed-bar", Str::ConfigInterfaceShowSpeedBar},
        {"interface.horizontal-speed-bar", Str::ConfigInterfaceHorizontalSpeedBar},
        {"interface.left-speed-bar", Str::ConfigInterfaceLeftSpeedBar},
        {"interface.top-speed-bar", Str::ConfigInterfaceTopSpeedBar},
        {"interface.show-status-bar", Str::ConfigInterfaceShowStatusBar},
        {"interface.top-status-bar", Str::ConfigInterfaceTopStatusBar},
    };
    for (const auto& [key, label] : flags) layout->addWidget(bind_check(key, label, key));
    layout->itemAt(0)->widget()->setFocus();
    layout->addWidget(new QLabel(qs(text(Str::OptionsRestartNeeded)), this));
    layout->addWidget(buttons());
}

// --- database ----------------------------------------------------------------------------------

DatabaseDialog::DatabaseDialog(TellurimApp& app, QWidget* parent)
    : KeyedDialog(app, qs(text(Str::ConfigDatabaseTitle)), parent) {
    auto* form = new QFormLayout;
    QLineEdit* name = bind_line("database.name", "name");
    QLineEdit* login = bind_line("database.login", "login");
    QLineEdit* password = bind_line("database.password", "password");
    password->setEchoMode(QLineEdit::Password);
    QLineEdit* mapping = bind_line("paths.db-ini-file", "mapping");
    mapping->setMinimumWidth(420);
    auto* browse = side_button(qs(text(Str::DirBrowse)), this, "browse");
    connect(browse, &QPushButton::clicked, this, [this, mapping] {
        const QString p = QFileDialog::getOpenFileName(this, windowTitle(), mapping->text(), "(*.ini);;(*)");
        if (!p.isEmpty()) mapping->setText(p);
    });
    for (auto [label, field] : {std::pair{Str::ConfigDatabaseName, name}, std::pair{Str::ConfigDatabaseLogin, login},
                                std::pair{Str::ConfigDatabasePassword, password}}) {
        auto* l = new QLabel(qs(text(label)), this);
        l->setBuddy(field);
        form->addRow(l, field);
    }
    form->addRow(qs(text(Str::PathsLabelDbIni)), with_button(this, mapping, browse));
    form->addRow(bind_check("database.prefix-id-with-ip", Str::ConfigDatabasePrefix, "prefix"));
    form->addRow(bind_check("database.default-save", Str::ConfigDatabaseDefaultSave, "default_save"));
    auto* test = side_button(qs(text(Str::ConfigDatabaseTest)), this, "test");
    connect(test, &QPushButton::clicked, this, [this] { test_connection(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(test);
    bottom->addStretch();
    bottom->addWidget(buttons());
    layout->addLayout(bottom);
    name->setFocus();
}

bool DatabaseDialog::test_connection() {
    auto o = checked();
    if (!o) return false;
    // `tellurim db test` with the values typed: the default database is set up first.
    CliSettings settings = m_app.settings();
    settings.options = *o;
    CliContext ctx;
    ctx.messages = &m_app.messages();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto target = db_target(DbArgs{}, settings, ctx);
    const bool ok = target && tellurim::test_connection(*target, m_app.messages());
    QApplication::restoreOverrideCursor();
    return ok;
}

// --- the menu ----------------------------------------------------------------------------------

QDialog* make_configuration_dialog(Str command, TellurimApp& app, QWidget* parent) {
    switch (command) {
        case Str::GuiHomeDir: return new DirectoryDialog(DirectoryKind::Private, app, parent);
        case Str::GuiHoroscopesDir: return new DirectoryDialog(DirectoryKind::Horoscopes, app, parent);
        case Str::GuiDirsFiles: return new PathsDialog(app, parent);
        case Str::GuiInterface: return new InterfaceDialog(app, parent);
        case Str::GuiDatabase: return new DatabaseDialog(app, parent);
        case Str::GuiInterpList: return new InterpListDialog(app, parent);
        case Str::GuiMyCity: return new MyCityDialog(app, parent);
        default: return nullptr;
    }
}

namespace {

template <Str Command>
void open_dialog(MainWindow& window) {
    std::unique_ptr<QDialog> d(make_configuration_dialog(Command, window.app(), &window));
    if (d) d->exec();
}

}  // namespace

DialogOpener configuration_dialog(Str command) {
    switch (command) {
        case Str::GuiHomeDir: return &open_dialog<Str::GuiHomeDir>;
        case Str::GuiHoroscopesDir: return &open_dialog<Str::GuiHoroscopesDir>;
        case Str::GuiDirsFiles: return &open_dialog<Str::GuiDirsFiles>;
        case Str::GuiInterface: return &open_dialog<Str::GuiInterface>;
        case Str::GuiDatabase: return &open_dialog<Str::GuiDatabase>;
        case Str::GuiInterpList: return &open_dialog<Str::GuiInterpList>;
        case Str::GuiMyCity: return &open_dialog<Str::GuiMyCity>;
        default: return nullptr;
    }
}

}  // namespace tellurim
