#include "gui/drawing_form.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>
#include <fmt/format.h>

#include "files/option_keys.h"
#include "gui/gui_messages.h"

namespace tellurim {

QString tr_drawing(Str s) { return qs(text(s)); }
std::string text_of(const QString& s) { return s.toStdString(); }

QString argb_text(Argb c) { return qs(format_argb(c)); }
QString colorref_text(ColorRef c) {
    return qs(fmt::format("#{:02X}{:02X}{:02X}", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

void focus_field(QWidget* w) {
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) c->lineEdit()->selectAll();
}

ColourField::ColourField(bool with_alpha, QWidget* parent)
    : QWidget(parent), m_alpha(with_alpha), m_edit(new QLineEdit), m_swatch(new QToolButton) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_edit->setMaxLength(12);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("#AAAAAAAAA")) + 8);
    m_swatch->setToolTip(tr_drawing(Str::ColourChoose));
    m_swatch->setFocusPolicy(Qt::StrongFocus);
    row->addWidget(m_edit, 1);
    row->addWidget(m_swatch);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { update_swatch(); });
    connect(m_swatch, &QToolButton::clicked, this, &ColourField::choose);
}

QString ColourField::text() const { return m_edit->text(); }
void ColourField::set_text(const QString& text) { m_edit->setText(text); }

void ColourField::choose() {
    const auto current = parse_argb(text_of(text()));
    QColorDialog::ColorDialogOptions options;
    if (m_alpha) options |= QColorDialog::ShowAlphaChannel;
    const QColor chosen = QColorDialog::getColor(current ? QColor::fromRgba(*current) : QColor(Qt::black), this,
                                                 tr_drawing(Str::ColourChoose), options);
    if (!chosen.isValid()) return;
    const Argb argb = chosen.rgba();
    set_text(m_alpha ? argb_text(argb) : argb_text(argb).remove(1, 2));
}

void ColourField::update_swatch() {
    const auto c = parse_argb(text_of(text()));
    QPixmap pix(22, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    // A translucent colour is shown over a checkerboard, as colour choosers do.
    for (int y = 0; y < 16; y += 4)
        for (int x = 0; x < 22; x += 4) p.fillRect(x, y, 4, 4, ((x + y) / 4) % 2 ? Qt::lightGray : Qt::white);
    if (c) p.fillRect(pix.rect(), QColor::fromRgba(*c));
    p.setPen(Qt::darkGray);
    p.drawRect(pix.rect().adjusted(0, 0, -1, -1));
    m_swatch->setIcon(QIcon(pix));
}

DrawingFormDialog::DrawingFormDialog(TellurimApp& app, Str command, QWidget* parent)
    : QDialog(parent), m_app(app), m_shown(app.options()) {
    QString title = tr_drawing(command).remove('&');
    while (title.endsWith('.') || title.endsWith(' ')) title.chop(1);
    setWindowTitle(title);
}

std::string DrawingFormDialog::current(const std::string& key) const {
    const OptionKey* k = find_option_key(key);
    if (!k) return {};
    Options copy = m_shown;
    const OptionContext ctx{copy, m_app.private_dir(), m_app.horoscopes_dir(), m_app.messages()};
    return k->get(ctx);
}

void DrawingFormDialog::add_field(std::string key, QWidget* focus,
                                  std::function<std::vector<std::string>()> values) {
    std::vector<std::string> shown = values();
    m_fields.push_back({std::move(key), focus, std::move(values), std::move(shown)});
}

void DrawingFormDialog::finish(QLayout* body) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &DrawingFormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* all = new QVBoxLayout(this);
    all->addLayout(body);
    all->addWidget(buttons);
}

std::vector<DrawingFormDialog::Pending> DrawingFormDialog::changes() const {
    std::vector<Pending> out;
    for (const Field& f : m_fields) {
        std::vector<std::string> now = f.values();
        if (now != f.shown) out.push_back({{f.key, std::move(now)}, [w = f.focus] { focus_field(w); }});
    }
    add_changes(out);
    return out;
}

void DrawingFormDialog::accept() {
    const std::vector<Pending> pending = changes();
    if (pending.empty()) return QDialog::accept();
    std::vector<OptionEdit> edits;
    for (const Pending& p : pending) edits.push_back(p.edit);
    const OptionEditsResult r = m_app.edit_options(edits);
    if (r.saved) return QDialog::accept();
    if (!r.message.empty())
        m_app.messages().tell(r.message, r.caption, r.failed >= 0 ? MessageIcon::Warning : MessageIcon::Error);
    if (r.failed >= 0) pending[static_cast<std::size_t>(r.failed)].focus();
}

}  // namespace tellurim
