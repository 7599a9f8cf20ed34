#include "gui/drawing_dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "astro/planets_signs.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

std::vector<std::string> yes_no(bool b) { return {b ? "yes" : "no"}; }


}  // namespace

// --- Drawing ---------------------------------------------------------------------------------

DrawingDialog::DrawingDialog(TellurimApp& app, QWidget* parent) : DrawingFormDialog(app, Str::GuiDrawingOptions, parent) {
    struct Flag {
        Str label;
        const char* key;
        bool inverted;  // "Hide ...": ticked when the setting is "no"
    };
    static constexpr Flag kLeft[] = {
        {Str::DrawWingdings, "drawing.use-wingdings", false},
        {Str::DrawHorizon, "drawing.horizontal-horizon", false},
        {Str::DrawCounterclockwise, "drawing.counterclockwise", false},
        {Str::DrawNicePlanets, "drawing.nice-planets", false},
        {Str::DrawTooltips, "drawing.tooltips", false},
        {Str::DrawInformations, "drawing.show-informations", false},
        {Str::DrawGradient, "drawing.use-gradient", false},
    };
    static constexpr Flag kRight[] = {
        {Str::DrawHideStars, "drawing.show-stars", true},
        {Str::DrawHideMoonNaks, "drawing.show-moon-naks", true},
        {Str::DrawColourNaks, "drawing.colour-naks", false},
        {Str::DrawColourSigns, "drawing.colour-signs", false},
        {Str::DrawHideSigns, "drawing.show-signs", true},
        {Str::DrawHideExaltations, "drawing.show-exaltations", true},
        {Str::DrawHideGraduations, "drawing.show-graduations", true},
    };
    auto* boxes = new QGridLayout;
    auto add_flags = [&](const auto& flags, int column) {
        int row = 0;
        for (const Flag& f : flags) {
            const bool stored = current(f.key) == "yes";
            auto* box = new QCheckBox(tr_drawing(f.label));
            box->setChecked(stored != f.inverted);
            box->setObjectName(f.key);
            boxes->addWidget(box, row++, column);
            add_field(f.key, box, [box, inv = f.inverted] { return yes_no(box->isChecked() != inv); });
        }
    };
    add_flags(kLeft, 0);
    add_flags(kRight, 1);

    // Created in the order shown, which is the order of the Tab key.
    auto* form = new QFormLayout;
    auto* picture = new QComboBox;
    picture->addItem(tr_drawing(Str::DrawPictureWheel));
    form->addRow(tr_drawing(Str::DrawPictureType), picture);

    auto* origin = new QLineEdit(qs(current("drawing.zodiac-origin")));
    origin->setObjectName("drawing.zodiac-origin");
    add_field("drawing.zodiac-origin", origin, [origin] { return std::vector{text_of(origin->text())}; });
    auto* ratio = new QLineEdit(qs(current("drawing.aspect-ratio")));
    ratio->setObjectName("drawing.aspect-ratio");
    add_field("drawing.aspect-ratio", ratio, [ratio] { return std::vector{text_of(ratio->text())}; });
    auto* smoothing = new QComboBox;
    smoothing->setObjectName("drawing.smoothing-mode");
    for (Str s : {Str::DrawSmoothingDefault, Str::DrawSmoothingHighSpeed, Str::DrawSmoothingHighQuality,
                  Str::DrawSmoothingNone, Str::DrawSmoothingAntiAlias})
        smoothing->addItem(tr_drawing(s));
    smoothing->setCurrentIndex(std::max(0, smoothing->findText(qs(current("drawing.smoothing-mode")))));
    add_field("drawing.smoothing-mode", smoothing,
              [smoothing] { return std::vector{std::to_string(smoothing->currentIndex())}; });

    form->addRow(tr_drawing(Str::DrawOrigin), origin);
    form->addRow(tr_drawing(Str::DrawAspectRatio), ratio);
    form->addRow(tr_drawing(Str::DrawSmoothing), smoothing);
    auto* body = new QVBoxLayout;
    body->addLayout(boxes);
    body->addLayout(form);
    finish(body);
}

// --- Fonts -----------------------------------------------------------------------------------

namespace {
constexpr std::array<const char*, kFontCount> kFontKeys{"fonts.global", "fonts.title", "fonts.eclipse",
                                                        "fonts.informations", "fonts.tooltips"};
}

FontsDialog::FontsDialog(TellurimApp& app, QWidget* parent) : DrawingFormDialog(app, Str::GuiFonts, parent) {
    static constexpr Str kEntries[kFontCount] = {Str::FontGlobal, Str::FontTitle, Str::FontEclipse,
                                                 Str::FontInformations, Str::FontTooltips};
    auto* grid = new QGridLayout;
    int column = 1;
    for (Str h : {Str::FontFace, Str::FontSize, Str::FontBold, Str::FontItalic, Str::FontUnderline, Str::FontColour})
        grid->addWidget(new QLabel(tr_drawing(h)), 0, column++);
    for (int e = 0; e < kFontCount; ++e) {
        const std::string key = kFontKeys[static_cast<std::size_t>(e)];
        const int row = e + 1;
        auto* face = new QFontComboBox;
        face->setObjectName(qs(key + ".face"));
        face->setCurrentFont(QFont(qs(current(key + ".face"))));
        face->setEditText(qs(current(key + ".face")));  // as stored, installed or not
        auto* label = new QLabel(tr_drawing(kEntries[e]));
        label->setBuddy(face);
        auto* size = new QComboBox;
        size->setObjectName(qs(key + ".size"));
        size->setEditable(true);
        for (int points : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72}) size->addItem(QString::number(points));
        size->setEditText(qs(current(key + ".size")));
        size->setInsertPolicy(QComboBox::NoInsert);
        grid->addWidget(label, row, 0);
        grid->addWidget(face, row, 1);
        grid->addWidget(size, row, 2);
        add_field(key + ".face", face, [face] { return std::vector{text_of(face->currentText())}; });
        add_field(key + ".size", size, [size] { return std::vector{text_of(size->currentText())}; });
        int col = 3;
        for (const char* style : {".bold", ".italic", ".underline"}) {
            auto* box = new QCheckBox;
            box->setObjectName(qs(key + style));
            box->setChecked(current(key + style) == "yes");
            grid->addWidget(box, row, col++, Qt::AlignCenter);
            add_field(key + style, box, [box] { return yes_no(box->isChecked()); });
        }
        auto* colour = new ColourField(false);
        colour->setObjectName(qs(key + ".colour"));
        colour->set_text(qs(current(key + ".colour")));
        grid->addWidget(colour, row, col++);
        add_field(key + ".colour", colour->edit(), [colour] { return std::vector{text_of(colour->text())}; });
        auto* choose = new QPushButton(tr_drawing(Str::FontChoose));
        grid->addWidget(choose, row, col);
        connect(choose, &QPushButton::clicked, this, [this, e] { choose_font(e); });
    }
    finish(grid);
}

void FontsDialog::choose_font(int entry) {
    const QString key = qs(kFontKeys[static_cast<std::size_t>(entry)]);
    auto* face = findChild<QComboBox*>(key + ".face");
    auto* size = findChild<QComboBox*>(key + ".size");
    auto* bold = findChild<QCheckBox*>(key + ".bold");
    auto* italic = findChild<QCheckBox*>(key + ".italic");
    auto* underline = findChild<QCheckBox*>(key + ".underline");
    QFont font(face->currentText());
    font.setPointSize(std::max(1, size->currentText().toInt()));
    font.setBold(bold->isChecked());
    font.setItalic(italic->isChecked());
    font.setUnderline(underline->isChecked());
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this, windowTitle());
    if (!ok) return;
    face->setEditText(chosen.family());
    size->setEditText(QString::number(chosen.pointSize()));
    bold->setChecked(chosen.bold());
    italic->setChecked(chosen.italic());
    underline->setChecked(chosen.underline());
}

// --- Colors ----------------------------------------------------------------------------------

ColoursDialog::ColoursDialog(TellurimApp& app, QWidget* parent) : DrawingFormDialog(app, Str::GuiColors, parent) {
    auto colour_field = [this](const std::string& key) {
        auto* field = new ColourField(true);
        field->setObjectName(qs(key));
        field->set_text(qs(current(key)));
        add_field(key, field->edit(), [field] { return std::vector{text_of(field->text())}; });
        return field;
    };

    auto* chart = new QGroupBox(tr_drawing(Str::ColourChart));
    auto* chart_form = new QFormLayout(chart);
    const std::pair<Str, const char*> kChart[] = {
        {Str::ColourHousesOutside, "colours.houses-outside"},
        {Str::ColourHousesInside, "colours.houses-inside"},
        {Str::ColourPen, "colours.pen"},
        {Str::ColourDrawingBackground, "colours.drawing-background"},
        {Str::ColourTextBackground, "colours.text-background"},
        {Str::ColourTooltipBackground, "colours.tooltip-background"},
    };
    for (const auto& [label, key] : kChart) chart_form->addRow(tr_drawing(label), colour_field(key));

    auto* spectral = new QGroupBox(tr_drawing(Str::ColourSpectral));
    auto* spectral_grid = new QGridLayout(spectral);
    const QString classes = QStringLiteral("OBAFGKMRNS");
    for (int i = 0; i < classes.size(); ++i) {
        const std::string key = "colours.spectral-" + text_of(classes.mid(i, 1).toLower());
        spectral_grid->addWidget(new QLabel(classes.mid(i, 1)), i % 5, 2 * (i / 5));
        spectral_grid->addWidget(colour_field(key), i % 5, 2 * (i / 5) + 1);
    }

    auto* signs = new QGroupBox(tr_drawing(Str::ColourSigns));
    auto* signs_grid = new QGridLayout(signs);
    static constexpr std::array<const char*, 12> kSignKeys{"aries", "taurus",  "gemini",      "cancer",
                                                           "leo",   "virgo",   "libra",       "scorpio",
                                                           "sagittarius", "capricornus", "aquarius", "pisces"};
    for (int k = 0; k < 12; ++k) {
        signs_grid->addWidget(new QLabel(qs(sign_name(k))), k % 6, 2 * (k / 6));
        signs_grid->addWidget(colour_field(std::string("colours.sign-") + kSignKeys[static_cast<std::size_t>(k)]), k % 6,
                              2 * (k / 6) + 1);
    }

    auto* image = new QLineEdit(qs(current("colours.background-image")));
    image->setObjectName("colours.background-image");
    add_field("colours.background-image", image, [image] { return std::vector{text_of(image->text())}; });
    auto* browse = new QPushButton(tr_drawing(Str::ColourBrowse));
    connect(browse, &QPushButton::clicked, this, [this, image] {
        const QString path = QFileDialog::getOpenFileName(this, windowTitle(), image->text(),
                                                          QStringLiteral("Images (*.jpg *.jpeg *.png *.bmp)"));
        if (!path.isEmpty()) image->setText(path);
    });
    auto* image_label = new QLabel(tr_drawing(Str::ColourImage));
    image_label->setBuddy(image);
    auto* image_row = new QHBoxLayout;
    image_row->addWidget(image_label);
    image_row->addWidget(image, 1);
    image_row->addWidget(browse);

    auto* grid = new QGridLayout;
    grid->addWidget(chart, 0, 0);
    grid->addWidget(spectral, 0, 1);
    grid->addWidget(signs, 1, 0, 1, 2);
    auto* body = new QVBoxLayout;
    body->addLayout(grid);
    body->addLayout(image_row);
    finish(body);
}

// --- the planet tables -----------------------------------------------------------------------

const std::array<const char*, kPlanetRows> PlanetTableDialog::kPlanetKeys{
    "sun",  "moon",  "mercury", "venus",   "mars",  "jupiter", "saturn", "ascendant", "midheaven",
    "rahu", "kethu", "uranus",  "neptune", "pluto", "fortune", "gulika", "mandi",     "arudha"};

PlanetTableDialog::PlanetTableDialog(TellurimApp& app, Str command, QString key, std::vector<Column> columns,
                                     QStringList row_labels, QStringList row_keys, QWidget* parent)
    : DrawingFormDialog(app, command, parent), m_key(std::move(key)), m_columns(std::move(columns)),
      m_row_keys(std::move(row_keys)), m_planets(new QComboBox),
      m_table(new QTableWidget(static_cast<int>(row_labels.size()), static_cast<int>(m_columns.size()))) {
    for (int p = 0; p < kPlanetRows; ++p) m_planets->addItem(qs(planet_name(p)));
    QStringList headers;
    for (const Column& c : m_columns) headers << tr_drawing(c.header);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setVerticalHeaderLabels(row_labels);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setTabKeyNavigation(false);  // Tab leaves the table, as in every other field
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &PlanetTableDialog::cell_chosen);
    connect(m_planets, &QComboBox::currentIndexChanged, this, &PlanetTableDialog::show_planet);
    auto* label = new QLabel(tr_drawing(Str::GlyphPlanet));
    label->setBuddy(m_planets);
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_planets);
    top->addStretch(1);
    auto* body = new QVBoxLayout;
    body->addLayout(top);
    body->addWidget(m_table, 1);
    body->addWidget(new QLabel(tr_drawing(Str::GlyphTableHint)));
    m_body = body;
    finish(body);
}

void PlanetTableDialog::set_texts(Texts texts) {
    m_initial = texts;
    m_texts = std::move(texts);
    m_shown_planet = -1;
    show_planet(m_planets->currentIndex());
    m_table->resizeColumnsToContents();
}

QString PlanetTableDialog::cell_text(int row, int column) const {
    const QTableWidgetItem* item = m_table->item(row, column);
    if (!item) return {};
    if (m_columns[static_cast<std::size_t>(column)].kind == GlyphField::Flag)
        return item->checkState() == Qt::Checked ? QStringLiteral("yes") : QStringLiteral("no");
    return item->text();
}

void PlanetTableDialog::keep_table() {
    if (m_shown_planet < 0) return;
    auto& rows = m_texts[static_cast<std::size_t>(m_shown_planet)];
    for (int r = 0; r < m_table->rowCount(); ++r)
        for (int c = 0; c < m_table->columnCount(); ++c)
            rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = cell_text(r, c);
}

void PlanetTableDialog::show_planet(int planet) {
    if (planet < 0 || planet >= kPlanetRows || m_texts.empty()) return;
    keep_table();
    m_shown_planet = planet;
    const auto& rows = m_texts[static_cast<std::size_t>(planet)];
    for (int r = 0; r < m_table->rowCount(); ++r)
        for (int c = 0; c < m_table->columnCount(); ++c) {
            const QString& t = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            auto* item = new QTableWidgetItem;
            switch (m_columns[static_cast<std::size_t>(c)].kind) {
                case GlyphField::Flag:
                    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                    item->setCheckState(t == "yes" ? Qt::Checked : Qt::Unchecked);
                    break;
                case GlyphField::Colour:
                    item->setText(t);
                    if (auto argb = parse_argb(text_of(t))) item->setData(Qt::DecorationRole, QColor::fromRgba(*argb));
                    break;
                case GlyphField::Size: item->setText(t); break;
            }
            m_table->setItem(r, c, item);
        }
    planet_shown(planet);
}

void PlanetTableDialog::cell_chosen(int row, int column) {
    if (m_columns[static_cast<std::size_t>(column)].kind != GlyphField::Colour) return;
    QTableWidgetItem* item = m_table->item(row, column);
    const auto current = parse_argb(text_of(item->text()));
    const QColor chosen = QColorDialog::getColor(current ? QColor::fromRgba(*current) : QColor(Qt::black), this,
                                                 tr_drawing(Str::ColourChoose), QColorDialog::ShowAlphaChannel);
    if (!chosen.isValid()) return;
    item->setText(argb_text(chosen.rgba()));
    item->setData(Qt::DecorationRole, chosen);
}

void PlanetTableDialog::add_changes(std::vector<Pending>& out) const {
    const_cast<PlanetTableDialog*>(this)->keep_table();
    for (std::size_t p = 0; p < m_texts.size(); ++p)
        for (std::size_t r = 0; r < m_texts[p].size(); ++r) {
            if (m_texts[p][r] == m_initial[p][r]) continue;
            OptionEdit edit{text_of(m_key.arg(kPlanetKeys[p], m_row_keys[static_cast<int>(r)])), {}};
            for (const QString& t : m_texts[p][r]) edit.values.push_back(text_of(t));
            // A refused row shows its planet with the focus on the first value refused.
            auto focus = [this, p, r] {
                auto* self = const_cast<PlanetTableDialog*>(this);
                self->m_planets->setCurrentIndex(static_cast<int>(p));
                for (std::size_t c = 0; c < m_columns.size(); ++c)
                    if (!glyph_value_ok(m_columns[c].kind, text_of(cell_text(static_cast<int>(r), static_cast<int>(c))))) {
                        m_table->setCurrentCell(static_cast<int>(r), static_cast<int>(c));
                        break;
                    }
                m_table->setFocus(Qt::OtherFocusReason);
            };
            out.push_back({std::move(edit), focus});
        }
}

namespace {

std::vector<PlanetTableDialog::Column> style_columns() {
    using enum GlyphField;
    return {{Str::GlyphPen, Colour},       {Str::GlyphBrush, Colour},      {Str::GlyphPenSize, Size},
            {Str::GlyphHalo, Flag},        {Str::GlyphHaloCentre, Colour}, {Str::GlyphHaloBorder, Colour},
            {Str::GlyphHaloSize, Size}};
}

constexpr std::array<const char*, 12> kSignRowKeys{"aries", "taurus",  "gemini",      "cancer",      "leo",      "virgo",
                                                   "libra", "scorpio", "sagittarius", "capricornus", "aquarius", "pisces"};

QStringList style_rows() {
    QStringList rows;
    for (int s = 0; s < 12; ++s)
        for (Str m : {Str::GlyphDirect, Str::GlyphRetrograde}) rows << qs(sign_name(s)) + " " + tr_drawing(m);
    return rows;
}

QStringList style_row_keys() {
    QStringList out;
    for (const char* s : kSignRowKeys)
        for (const char* m : {".direct", ".retrograde"}) out << QString(s) + m;
    return out;
}

QString size_text(float v) { return QString::number(static_cast<double>(v)); }

}  // namespace

PlanetColoursDialog::PlanetColoursDialog(TellurimApp& app, QWidget* parent)
    : PlanetTableDialog(app, Str::GuiPlanetColors, QStringLiteral("glyphs.%1.%2"), style_columns(), style_rows(),
                        style_row_keys(), parent),
      m_colour(new ColourField(true)) {
    m_colour->setObjectName("glyphs.colour");
    auto* label = new QLabel(tr_drawing(Str::GlyphPlanetColour));
    label->setBuddy(m_colour->edit());
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_colour);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(body())->insertLayout(1, row);
    setTabOrder(planets(), m_colour->edit());
    setTabOrder(m_colour->swatch(), table());
    Texts texts(kPlanetRows);
    for (std::size_t p = 0; p < kPlanetRows; ++p) {
        m_colours_shown[p] = m_colours[p] = argb_text(m_shown.glyphs.planet_colours[p]);
        for (std::size_t s = 0; s < 12; ++s)
            for (std::size_t m = 0; m < 2; ++m) {
                const GlyphStyle& g = m_shown.glyphs.styles[p][s][m];
                texts[p].push_back({argb_text(g.pen_colour), argb_text(g.brush_colour), size_text(g.pen_size),
                                    g.halo_on ? "yes" : "no", argb_text(g.halo_centre), argb_text(g.halo_border),
                                    size_text(g.halo_size)});
            }
    }
    set_texts(std::move(texts));
    resize(760, 560);
}

void PlanetColoursDialog::planet_shown(int planet) {
    if (m_colour_planet >= 0) m_colours[static_cast<std::size_t>(m_colour_planet)] = m_colour->text();
    m_colour_planet = planet;
    m_colour->set_text(m_colours[static_cast<std::size_t>(planet)]);
}

void PlanetColoursDialog::add_changes(std::vector<Pending>& out) const {
    if (m_colour_planet >= 0) m_colours[static_cast<std::size_t>(m_colour_planet)] = m_colour->text();
    for (std::size_t p = 0; p < kPlanetRows; ++p) {
        if (m_colours[p] == m_colours_shown[p]) continue;
        auto focus = [this, p] {
            planets()->setCurrentIndex(static_cast<int>(p));
            focus_field(m_colour->edit());
        };
        out.push_back({{std::string("glyphs.") + kPlanetKeys[p] + ".colour", {text_of(m_colours[p])}}, focus});
    }
    PlanetTableDialog::add_changes(out);
}

HouseHalosDialog::HouseHalosDialog(TellurimApp& app, QWidget* parent)
    : PlanetTableDialog(app, Str::GuiPlanetHouseColors, QStringLiteral("house-halos.%1.%2"),
                        {{Str::GlyphHalo, GlyphField::Flag},
                         {Str::GlyphHaloCentre, GlyphField::Colour},
                         {Str::GlyphHaloBorder, GlyphField::Colour},
                         {Str::GlyphHaloSize, GlyphField::Size}},
                        [] {
                            QStringList rows;
                            for (int h = 1; h <= 12; ++h) rows << tr_drawing(Str::GlyphHouse).arg(qs(house_roman(h)));
                            return rows;
                        }(),
                        [] {
                            QStringList out;
                            for (int h = 1; h <= 12; ++h) out << QString::number(h);
                            return out;
                        }(),
                        parent) {
    Texts texts(kPlanetRows);
    for (std::size_t p = 0; p < kPlanetRows; ++p)
        for (const HouseHalo& h : m_shown.house_halos.halos[p])
            texts[p].push_back({h.on ? "yes" : "no", argb_text(h.centre), argb_text(h.border), size_text(h.size)});
    set_texts(std::move(texts));
    resize(560, 480);
}

}  // namespace tellurim
