#include "gui/chart_windows.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QToolTip>
#include <QPainter>
#include <QScreen>

#include "draw/wheel_chart.h"
#include "gui/gui_messages.h"
#include "report/doc_writer.h"

namespace tellurim {
namespace {

QSize screen_size(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1920, 1080);
}

}  // namespace

WheelCanvas::WheelCanvas(TellurimApp& app, OpenChart& chart, QWidget* parent)
    : QWidget(parent), m_app(app), m_chart(chart) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    refresh();
}

void WheelCanvas::refresh() {
    m_input = m_app.wheel_input(m_chart);
    m_style = m_app.wheel_style(m_chart);
    m_painted = QImage();
    m_spots.clear();  // they point into the input just replaced
    update();
}

void WheelCanvas::paintEvent(QPaintEvent* event) {
    // An exposed window shows the wheel already painted; a new chart or size paints it anew.
    const qreal ratio = devicePixelRatioF();
    if (m_painted.size() != size() * ratio) {
        m_painted = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_painted.setDevicePixelRatio(ratio);
        m_painted.fill(Qt::white);
        QPainter p(&m_painted);
        m_spots.clear();
        paint_wheel(p, QSizeF(size()), screen_size(this), m_app.options(), m_style, m_input, &m_spots);
    }
    QPainter g(this);
    g.drawImage(event->rect(), m_painted, QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio));
}

QString WheelCanvas::tooltip_at(QPoint pos) const {
    // Markers are painted last, over the glyphs: the last spot under the pointer wins.
    for (auto it = m_spots.rbegin(); it != m_spots.rend(); ++it) {
        const double dx = pos.x() - it->centre.x;
        const double dy = pos.y() - it->centre.y;
        if (dx * dx + dy * dy > it->radius * it->radius) continue;
        const Horoscope* outside = m_chart.outside && !m_chart.outside_hidden ? m_chart.outside.get() : nullptr;
        return qs(wheel_tooltip(*it, *m_chart.horoscope, outside, &m_app.hindu_aspects())).remove('\r');
    }
    return {};
}

bool WheelCanvas::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = tooltip_at(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        e->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

QImage WheelCanvas::grab_wheel() const {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter g(&image);
    paint_wheel(g, QSizeF(size()), screen_size(this), m_app.options(), m_style, m_input);
    return image;
}

ChartWindow::ChartWindow(TellurimApp& app, OpenChart& chart, QWidget* parent)
    : QScrollArea(parent), m_chart(chart), m_canvas(new WheelCanvas(app, chart)) {
    setWidget(m_canvas);
    setWidgetResizable(true);
    setWindowTitle(qs(chart.title()));
    setAttribute(Qt::WA_DeleteOnClose);
}

void ChartWindow::set_zoom(int factor) {
    m_zoom = factor < 1 ? 1 : factor;
    setWidgetResizable(m_zoom == 1);
    if (m_zoom > 1) m_canvas->resize(viewport()->size() * m_zoom);
}

void ChartWindow::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (m_zoom > 1) m_canvas->resize(viewport()->size() * m_zoom);
}

void ChartWindow::refresh() {
    setWindowTitle(qs(m_chart.title()));
    m_canvas->refresh();
}

ResultsWindow::ResultsWindow(TellurimApp& app, OpenChart& chart, bool outside, QWidget* parent)
    : QTextBrowser(parent), m_app(app), m_chart(chart), m_outside(outside) {
    setAttribute(Qt::WA_DeleteOnClose);
    refresh();
}

void ResultsWindow::refresh() {
    const Horoscope* h = m_outside && m_chart.outside ? m_chart.outside.get() : m_chart.horoscope.get();
    std::string title = h->last_name;
    if (!h->first_name.empty()) title += " " + h->first_name;
    setWindowTitle(qs(title));
    setHtml(qs(m_app.report(*h, kDocHtml)));
}

}  // namespace tellurim
