#include "gui/aspect_dialogs.h"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <tuple>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "astro/planets_signs.h"
#include "base/strings.h"
#include "files/hindu_aspects_file.h"
#include "files/option_keys.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

QLineEdit* line(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QLabel* buddy_label(Str s, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(tr_(s), parent);
    l->setBuddy(buddy);
    return l;
}

QDialogButtonBox* ok_cancel(QDialog* d) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

// A button that does not take Enter from the fields: Enter stays OK.
QPushButton* side_button(Str s, QWidget* parent) {
    auto* b = new QPushButton(tr_(s), parent);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void refuse_field(MessageSink& messages, QWidget* field, const std::string& text, const std::string& caption) {
    messages.tell(text, caption, MessageIcon::Warning);
    field->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(field)) e->selectAll();
}

std::optional<std::string> set_option_key(TellurimApp& app, Options& o, const std::string& key,
                                          const std::vector<std::string>& values) {
    const OptionKey* k = find_option_key(key);
    if (!k || !k->set) return str(Str::FilesNotACorrectValue);
    OptionContext ctx{o, app.private_dir(), app.horoscopes_dir(), app.messages()};
    return k->set(ctx, values);
}

// --- "Aspects" ---------------------------------------------------------------------------------

AspectsDialog::AspectsDialog(TellurimApp& app, QWidget* parent)
    : QDialog(parent), m_app(app), m_rows(app.aspects().rows) {
    setWindowTitle(tr_(Str::GuiAspectsTitle));
    m_list = new QListWidget(this);
    m_list->setObjectName("aspects");
    m_name = line(this, "name");
    m_degrees = line(this, "degrees");
    m_orb = line(this, "orb");
    m_colour_button = new QPushButton(this);
    m_colour_button->setAutoDefault(false);
    m_colour_button->setObjectName("colour");
    m_pen_size = line(this, "pen_size");
    m_hot_spot = line(this, "hot_spot_size");
    m_pen_type = new QComboBox(this);
    m_pen_type->setObjectName("pen_type");
    for (Str s : {Str::PenSolid, Str::PenDash, Str::PenDot, Str::PenDashDot, Str::PenDashDotDot}) m_pen_type->addItem(tr_(s));
    m_draw = new QCheckBox(tr_(Str::AspectLabelDraw), this);
    m_more_opaque = new QCheckBox(tr_(Str::AspectLabelMoreOpaque), this);
    m_show_information = new QCheckBox(tr_(Str::AspectLabelShowInformation), this);
    auto* add = side_button(Str::GuiAspectsAdd, this);
    auto* del = side_button(Str::GuiAspectsDelete, this);
    auto* test = side_button(Str::GuiAspectsTest, this);

    auto* left = new QVBoxLayout;
    left->addWidget(buddy_label(Str::GuiAspectsAvailable, m_list, this));
    left->addWidget(m_list);
    auto* list_buttons = new QHBoxLayout;
    for (QPushButton* b : {add, del, test}) list_buttons->addWidget(b);
    left->addLayout(list_buttons);

    auto* form = new QFormLayout;
    form->addRow(buddy_label(Str::GuiAspectsName, m_name, this), m_name);
    form->addRow(buddy_label(Str::GuiAspectsDegrees, m_degrees, this), m_degrees);
    form->addRow(buddy_label(Str::GuiAspectsOrb, m_orb, this), m_orb);
    form->addRow(buddy_label(Str::GuiAspectsPenColor, m_colour_button, this), m_colour_button);
    form->addRow(buddy_label(Str::GuiAspectsPenSize, m_pen_size, this), m_pen_size);
    form->addRow(buddy_label(Str::GuiAspectsHotSpot, m_hot_spot, this), m_hot_spot);
    form->addRow(buddy_label(Str::GuiAspectsPenType, m_pen_type, this), m_pen_type);
    form->addRow(m_draw);
    form->addRow(m_more_opaque);
    form->addRow(m_show_information);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(form);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok_cancel(this));

    // Tab order: the list and its buttons, then the fields from top to bottom.
    QWidget* order[] = {m_list, add, del, test, m_name, m_degrees, m_orb, m_colour_button, m_pen_size,
                        m_hot_spot, m_pen_type, m_draw, m_more_opaque, m_show_information};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    for (const AspectDef& r : m_rows) m_list->addItem(qs(r.name));
    connect(m_list, &QListWidget::currentRowChanged, this, &AspectsDialog::row_changed);
    connect(add, &QPushButton::clicked, this, &AspectsDialog::add_row);
    connect(del, &QPushButton::clicked, this, &AspectsDialog::delete_row);
    connect(test, &QPushButton::clicked, this, [this] { (void)rebuild_current(); });
    connect(m_colour_button, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(QColor::fromRgba(m_colour), this, tr_(Str::GuiAspectsTitle),
                                                QColorDialog::ShowAlphaChannel);
        if (c.isValid()) set_colour(c.rgba());
    });
    if (!m_rows.empty()) m_list->setCurrentRow(0);
}

void AspectsDialog::set_colour(std::uint32_t argb) {
    m_colour = argb;
    const QColor c = QColor::fromRgba(argb);
    m_colour_button->setText(qs(fmt::format("#{:08X}", argb)));
    m_colour_button->setStyleSheet(QString("QPushButton { background-color: %1; color: %2; }")
                                       .arg(c.name(QColor::HexRgb), QString(c.lightness() < 128 ? "white" : "black")));
}

void AspectsDialog::show_row(int index) {
    m_current = index;
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return;
    const AspectFields f = aspect_fields(m_rows[static_cast<std::size_t>(index)]);
    m_name->setText(qs(f.name));
    m_degrees->setText(qs(f.degrees));
    m_orb->setText(qs(f.orb));
    set_colour(f.colour);
    m_pen_size->setText(qs(f.pen_size));
    m_hot_spot->setText(qs(f.hot_spot_size));
    m_pen_type->setCurrentIndex(m_pen_type->findText(qs(f.pen_type)));
    m_draw->setChecked(f.draw);
    m_more_opaque->setChecked(f.more_opaque);
    m_show_information->setChecked(f.show_information);
}

void AspectsDialog::row_changed(int index) {
    // The row left is rebuilt first; a bad field keeps it selected.
    if (m_current != index && !rebuild_current()) {
        const QSignalBlocker block(m_list);
        m_list->setCurrentRow(m_current);
        return;
    }
    show_row(index);
}

AspectFields AspectsDialog::fields() const {
    AspectFields f;
    f.name = m_name->text().toStdString();
    f.degrees = m_degrees->text().toStdString();
    f.orb = m_orb->text().toStdString();
    f.colour = m_colour;
    f.pen_size = m_pen_size->text().toStdString();
    f.hot_spot_size = m_hot_spot->text().toStdString();
    f.pen_type = m_pen_type->currentIndex() < 0 ? std::string() : m_pen_type->currentText().toStdString();
    f.draw = m_draw->isChecked();
    f.more_opaque = m_more_opaque->isChecked();
    f.show_information = m_show_information->isChecked();
    return f;
}

bool AspectsDialog::refused(const AspectCheck& c) {
    QWidget* field = m_pen_type;
    if (c.failed == AspectField::Degrees) field = m_degrees;
    if (c.failed == AspectField::Orb) field = m_orb;
    if (c.failed == AspectField::PenSize) field = m_pen_size;
    if (c.failed == AspectField::HotSpotSize) field = m_hot_spot;
    refuse_field(m_app.messages(), field, str(c.message), str(Str::AspectErrorCaption));
    return false;
}

bool AspectsDialog::rebuild_current() {
    if (m_current < 0 || m_current >= static_cast<int>(m_rows.size())) return true;
    // A row shown and left as it was keeps its exact values (the texts are rounded).
    const AspectFields f = fields();
    const AspectFields shown = aspect_fields(m_rows[static_cast<std::size_t>(m_current)]);
    if (std::tie(f.name, f.degrees, f.orb, f.colour, f.pen_size, f.hot_spot_size, f.pen_type, f.draw, f.more_opaque,
                 f.show_information) == std::tie(shown.name, shown.degrees, shown.orb, shown.colour, shown.pen_size,
                                                 shown.hot_spot_size, shown.pen_type, shown.draw, shown.more_opaque,
                                                 shown.show_information))
        return true;
    const AspectCheck c = check_aspect_fields(f);
    if (!c.ok()) return refused(c);
    m_rows[static_cast<std::size_t>(m_current)] = c.row;
    m_list->item(m_current)->setText(qs(c.row.name));
    return true;
}

void AspectsDialog::add_row() {
    AspectFields f = fields();
    f.name = str(Str::AspectNewName);
    const AspectCheck c = check_aspect_fields(f);
    if (!c.ok()) {
        (void)refused(c);
        return;
    }
    m_rows.push_back(c.row);
    m_list->addItem(qs(c.row.name));
    m_current = -1;  // the row selected before keeps its values
    m_list->setCurrentRow(static_cast<int>(m_rows.size()) - 1);
}

void AspectsDialog::delete_row() {
    if (m_current < 0 || m_current >= static_cast<int>(m_rows.size())) return;
    const int at = m_current;
    m_rows.erase(m_rows.begin() + at);
    m_current = -1;
    {
        const QSignalBlocker block(m_list);
        delete m_list->takeItem(at);
    }
    const int next = std::min(at, static_cast<int>(m_rows.size()) - 1);
    m_list->setCurrentRow(next);
    show_row(next);
}

void AspectsDialog::accept() {
    if (!rebuild_current()) return;
    AspectTable table = m_app.aspects();
    table.rows = m_rows;
    if (!m_app.save_aspects(table)) return;
    QDialog::accept();
}

// --- "Hindu aspects" ---------------------------------------------------------------------------

namespace {

std::string pen_text(const HinduAspectRow& row) {
    for (std::size_t o = 0; o < 12; ++o)
        if (row.offsets[o]) {
            const HinduPen& p = row.pens[o][0];
            return fmt::format("{:08X} {:.2f} {}", p.colour, p.width, p.style);
        }
    return {};
}

}  // namespace

HinduAspectsDialog::HinduAspectsDialog(TellurimApp& app, QWidget* parent)
    : QDialog(parent), m_app(app), m_table(load_hindu_aspects(app.private_dir(), app.messages()).table) {
    setWindowTitle(tr_(Str::HinduAspectsTitle));
    m_planets = new QComboBox(this);
    m_planets->setObjectName("planet");
    for (int p = 0; p < kPlanetRows; ++p) {
        m_planets->addItem(qs(planet_name(p)));
        const HinduAspectRow& row = m_table.rows[static_cast<std::size_t>(p)];
        m_edits[static_cast<std::size_t>(p)].offsets = row.offsets;
        m_edits[static_cast<std::size_t>(p)].pen = m_pens_shown[static_cast<std::size_t>(p)] = pen_text(row);
    }
    auto* signs = new QGroupBox(tr_(Str::HinduAspectsSigns), this);
    auto* grid = new QGridLayout(signs);
    for (int o = 0; o < 12; ++o) {
        // Offset 0 is the planet's own sign, the first; offset 6 the seventh.
        auto* b = new QCheckBox(QString::number(o + 1), signs);
        b->setObjectName(QString("offset%1").arg(o));
        m_offsets[static_cast<std::size_t>(o)] = b;
        grid->addWidget(b, o / 6, o % 6);
    }
    m_pen = line(this, "pen");

    auto* form = new QFormLayout;
    form->addRow(buddy_label(Str::GuiHinduPlanet, m_planets, this), m_planets);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(signs);
    layout->addWidget(buddy_label(Str::GuiHinduPen, m_pen, this));
    layout->addWidget(m_pen);
    layout->addWidget(ok_cancel(this));

    connect(m_planets, &QComboBox::currentIndexChanged, this, &HinduAspectsDialog::select_planet);
    select_planet(0);
}

void HinduAspectsDialog::keep_planet() {
    if (m_planet < 0) return;
    const auto p = static_cast<std::size_t>(m_planet);
    PlanetEdit& e = m_edits[p];
    for (std::size_t o = 0; o < 12; ++o) e.offsets[o] = m_offsets[o]->isChecked();
    e.pen = m_pen->text().trimmed().toStdString();
    e.changed = e.offsets != m_table.rows[p].offsets || e.pen != m_pens_shown[p];
}

void HinduAspectsDialog::select_planet(int planet) {
    if (planet == m_planet) return;
    keep_planet();
    m_planet = planet;
    if (m_planets->currentIndex() != planet) {
        const QSignalBlocker block(m_planets);
        m_planets->setCurrentIndex(planet);
    }
    const PlanetEdit& e = m_edits[static_cast<std::size_t>(planet)];
    for (std::size_t o = 0; o < 12; ++o) m_offsets[o]->setChecked(e.offsets[o]);
    m_pen->setText(qs(e.pen));
}

void HinduAspectsDialog::accept() {
    keep_planet();
    // The pens first, planet by planet, with the command line's check and message.
    std::array<std::optional<HinduPen>, kPlanetRows> pens{};
    for (int p = 0; p < kPlanetRows; ++p) {
        const PlanetEdit& e = m_edits[static_cast<std::size_t>(p)];
        if (!e.changed || e.pen.empty() || e.pen == m_pens_shown[static_cast<std::size_t>(p)]) continue;
        HinduPen pen;
        if (!parse_hindu_pen(e.pen, pen)) {
            select_planet(p);
            refuse_field(m_app.messages(), m_pen, str(Str::HinduAspectsBadPen) + e.pen, str(Str::CaptionBadInput));
            return;
        }
        pens[static_cast<std::size_t>(p)] = pen;
    }
    // The file as it is now, with the planets changed here.
    HinduAspectsLoad load = load_hindu_aspects(m_app.private_dir(), m_app.messages());
    bool any = false;
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const PlanetEdit& e = m_edits[i];
        if (!e.changed) continue;
        const bool offsets_changed = e.offsets != m_table.rows[i].offsets;
        edit_hindu_aspect_row(load.table, p, offsets_changed ? std::optional(e.offsets) : std::nullopt, pens[i]);
        any = true;
    }
    if (any) {
        if (!save_edited_hindu_aspects(m_app.private_dir(), load, m_app.messages())) {
            m_app.messages().tell(hindu_aspects_path(m_app.private_dir()), str(Str::HinduAspectsCannotWrite),
                                  MessageIcon::Error);
            return;
        }
        m_app.set_hindu_aspects(load.table);
    }
    QDialog::accept();
}

// --- "Aspects on Planets" / "Aspects on Houses" ------------------------------------------------

namespace {

constexpr std::array<Str, 4> kModeLabels{Str::GuiFilterModeOutside, Str::GuiFilterModeInside,
                                         Str::GuiFilterModeOutsideOnInside, Str::GuiFilterModeInsideOnOutside};
constexpr std::array<const char*, 4> kModeNames{"outside", "inside", "outside-on-inside", "inside-on-outside"};
constexpr std::array<std::uint32_t, 4> kModeBits{1u << 0, 1u << 2, 1u << 3, 1u << 4};

}  // namespace

AspectFilterDialog::AspectFilterDialog(TellurimApp& app, OpenChart& chart, bool houses, std::function<void()> redraw,
                                       QWidget* parent)
    : QDialog(parent), m_app(app), m_chart(chart), m_houses(houses), m_redraw(std::move(redraw)),
      m_before(chart.horoscope->options.drawing) {
    setWindowTitle(tr_(houses ? Str::GuiFilterHousesTitle : Str::GuiFilterPlanetsTitle));
    if (houses)
        for (int h = 1; h <= 12; ++h) m_bodies.push_back(h);
    else
        m_bodies = {kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kRahu, kKethu, kUranus, kNeptune, kPluto, kFortune};

    auto* tabs = new QTabWidget(this);
    for (int t = 0; t < 2; ++t) {
        auto* page = new QWidget(tabs);
        auto* grid = new QGridLayout(page);
        grid->addWidget(new QLabel(tr_(Str::GuiFilterAspects), page), 0, 0);
        grid->addWidget(new QLabel(tr_(Str::GuiFilterHide), page), 0, 1);
        for (std::size_t i = 0; i < m_bodies.size(); ++i) {
            const QString name = qs(houses ? house_roman(m_bodies[i]) : planet_name(m_bodies[i]));
            auto* a = new QCheckBox(name, page);
            auto* h = new QCheckBox(name, page);
            a->setObjectName(QString("aspects%1_%2").arg(t).arg(i));
            h->setObjectName(QString("hide%1_%2").arg(t).arg(i));
            m_aspects[static_cast<std::size_t>(t)].push_back(a);
            m_hide[static_cast<std::size_t>(t)].push_back(h);
            grid->addWidget(a, static_cast<int>(i) + 1, 0);
            grid->addWidget(h, static_cast<int>(i) + 1, 1);
        }
        // Down the "Aspects" column, then down the "Hide:" one.
        for (std::size_t i = 1; i < m_bodies.size(); ++i)
            setTabOrder(m_aspects[static_cast<std::size_t>(t)][i - 1], m_aspects[static_cast<std::size_t>(t)][i]);
        setTabOrder(m_aspects[static_cast<std::size_t>(t)].back(), m_hide[static_cast<std::size_t>(t)].front());
        for (std::size_t i = 1; i < m_bodies.size(); ++i)
            setTabOrder(m_hide[static_cast<std::size_t>(t)][i - 1], m_hide[static_cast<std::size_t>(t)][i]);
        tabs->addTab(page, tr_(t == 0 ? Str::GuiFilterInsideTab : Str::GuiFilterOutsideTab));
    }
    auto* modes = new QGroupBox(this);
    auto* modes_layout = new QVBoxLayout(modes);
    for (std::size_t m = 0; m < kModeLabels.size(); ++m) {
        m_modes[m] = new QCheckBox(tr_(kModeLabels[m]), modes);
        m_modes[m]->setObjectName(kModeNames[m]);
        modes_layout->addWidget(m_modes[m]);
    }
    auto* redraw_button = side_button(Str::GuiFilterRedraw, this);
    auto* init_button = side_button(Str::GuiFilterInit, this);
    auto* default_button = side_button(Str::GuiFilterSetDefault, this);
    connect(redraw_button, &QPushButton::clicked, this, &AspectFilterDialog::redraw);
    connect(init_button, &QPushButton::clicked, this, &AspectFilterDialog::init);
    connect(default_button, &QPushButton::clicked, this, [this] { (void)set_as_default(); });
    auto* side = new QVBoxLayout;
    side->addWidget(modes);
    for (QPushButton* b : {redraw_button, init_button, default_button}) side->addWidget(b);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(tabs);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok_cancel(this));
    show_masks(m_before);
}

QCheckBox* AspectFilterDialog::box(int tab, bool hide, int index) const {
    return (hide ? m_hide : m_aspects)[static_cast<std::size_t>(tab)][static_cast<std::size_t>(index)];
}

void AspectFilterDialog::show_masks(const DrawingOptions& d) {
    const std::array<const std::array<std::uint32_t, 2>*, 2> masks =
        m_houses ? std::array{&d.houses_masks_1, &d.houses_masks_2} : std::array{&d.planets_masks_1, &d.planets_masks_2};
    for (std::size_t t = 0; t < 2; ++t)
        for (std::size_t i = 0; i < m_bodies.size(); ++i) {
            const std::uint32_t bit = 1u << (m_houses ? m_bodies[i] - 1 : m_bodies[i]);
            m_aspects[t][i]->setChecked(((*masks[t])[0] & bit) != 0);
            // The "Hide:" mask is stored inverted: a set bit shows the body.
            m_hide[t][i]->setChecked(((*masks[t])[1] & bit) == 0);
        }
    const std::uint32_t mode = m_houses ? d.houses_mode : d.planets_mode;
    for (std::size_t m = 0; m < m_modes.size(); ++m) m_modes[m]->setChecked((mode & kModeBits[m]) != 0);
}

void AspectFilterDialog::apply(Options& o) const {
    const std::string prefix = m_houses ? "aspect-filters.houses." : "aspect-filters.planets.";
    auto names = [&](const std::vector<QCheckBox*>& boxes) {
        std::vector<std::string> v;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i]->isChecked())
                v.emplace_back(m_houses ? house_roman(m_bodies[i]) : planet_name(m_bodies[i]));
        if (v.empty()) v.emplace_back("none");
        return v;
    };
    for (std::size_t t = 0; t < 2; ++t) {
        const std::string tab = prefix + std::to_string(t + 1);
        (void)set_option_key(m_app, o, tab + ".aspects", names(m_aspects[t]));
        (void)set_option_key(m_app, o, tab + ".hide", names(m_hide[t]));
    }
    std::vector<std::string> modes;
    for (std::size_t m = 0; m < m_modes.size(); ++m)
        if (m_modes[m]->isChecked()) modes.emplace_back(kModeNames[m]);
    if (modes.empty()) modes.emplace_back("none");
    (void)set_option_key(m_app, o, prefix + "modes", modes);
}

void AspectFilterDialog::redraw() {
    apply(m_chart.horoscope->options);
    if (m_redraw) m_redraw();
}

void AspectFilterDialog::init() {
    for (std::size_t t = 0; t < 2; ++t)
        for (std::size_t i = 0; i < m_bodies.size(); ++i) {
            m_aspects[t][i]->setChecked(true);
            m_hide[t][i]->setChecked(false);
        }
    for (QCheckBox* m : m_modes) m->setChecked(true);
}

bool AspectFilterDialog::set_as_default() {
    return m_app.update_options([this](Options& o) {
        apply(o);
        return true;
    });
}

void AspectFilterDialog::accept() {
    redraw();
    QDialog::accept();
}

void AspectFilterDialog::reject() {
    if (!(m_chart.horoscope->options.drawing == m_before)) {
        m_chart.horoscope->options.drawing = m_before;
        if (m_redraw) m_redraw();
    }
    QDialog::reject();
}

}  // namespace tellurim
