#pragma once
// The two child windows of an open horoscope: its chart, the wheel painted live from the
// drawing code and redrawn at every size (zoomed x2 to x4 in a scrolled view), and its results,
// the report in a text view.

#include <QImage>
#include <QScrollArea>
#include <QTextBrowser>
#include <QWidget>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "gui/tellurim_app.h"
#endif

namespace tellurim {

// The wheel of one open horoscope, with its superposed one.
class WheelCanvas : public QWidget {
    Q_OBJECT
public:
    WheelCanvas(TellurimApp& app, OpenChart& chart, QWidget* parent = nullptr);
    // Takes the chart's horoscopes again (after a computation, a move, a superposition).
    void refresh();
    // The wheel as it is painted, on an image of the canvas's size.
    QImage grab_wheel() const;

    // The tooltip at a point of the canvas (empty where no glyph or marker lies).
    QString tooltip_at(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    TellurimApp& m_app;
    OpenChart& m_chart;
    WheelInput m_input;
    WheelStyle m_style;
    QImage m_painted;  // the wheel as last painted; redrawn when the chart or the size changes
    std::vector<WheelHotSpot> m_spots;  // its glyphs and markers
};

class ChartWindow : public QScrollArea {
    Q_OBJECT
public:
    ChartWindow(TellurimApp& app, OpenChart& chart, QWidget* parent = nullptr);
    OpenChart& chart() { return m_chart; }
    WheelCanvas* canvas() { return m_canvas; }
    // 1 fits the window; 2, 3 or 4 draw the wheel that many times larger, scrolled.
    void set_zoom(int factor);
    int zoom() const { return m_zoom; }
    void refresh();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    OpenChart& m_chart;
    WheelCanvas* m_canvas;
    int m_zoom = 1;
};

class ResultsWindow : public QTextBrowser {
    Q_OBJECT
public:
    ResultsWindow(TellurimApp& app, OpenChart& chart, bool outside, QWidget* parent = nullptr);
    OpenChart& chart() { return m_chart; }
    bool shows_outside() const { return m_outside; }
    void refresh();

private:
    TellurimApp& m_app;
    OpenChart& m_chart;
    bool m_outside;
};

}  // namespace tellurim
