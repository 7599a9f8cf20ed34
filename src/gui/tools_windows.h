#pragma once
// The Tools menu's windows: the "Sidereal solar return" dialog, which opens the return's chart;
// the "Primary directions" dialog, whose list opens in a text window; and the dasa window,
// which draws the dasa, bhukti and antara periods of a horoscope over a year or a century.
// Each reads its horoscope from the process-wide list and computes through the services the
// command line's `return`, `directions` and `dasa` use.

#include <QDialog>
#include <QWidget>
#include <vector>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "astro/hindu.h"
#include "gui/tellurim_app.h"
#endif

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTextBrowser;

namespace tellurim {

// The open horoscopes in a list, the chart of the active window first chosen; a label under
// it shows the chosen one's names, universal birth moment and city.
class HoroscopeChoice : public QWidget {
    Q_OBJECT
public:
    HoroscopeChoice(TellurimApp& app, const OpenChart* current, QWidget* parent = nullptr);
    OpenChart* chosen() const;

private:
    void show_chosen();
    TellurimApp& m_app;
    QComboBox* m_list;
    QLabel* m_about;
};

class SolarReturnDialog : public QDialog {
    Q_OBJECT
public:
    SolarReturnDialog(TellurimApp& app, const OpenChart* current, QWidget* parent = nullptr);
    // The chart of the return once the dialog is accepted (it has joined the horoscope list).
    OpenChart* result() const { return m_result; }
    QString feedback() const;

public slots:
    void accept() override;

private:
    TellurimApp& m_app;
    HoroscopeChoice* m_choice;
    QLineEdit *m_age, *m_title, *m_city, *m_county, *m_state, *m_country, *m_longitude, *m_latitude;
    QCheckBox* m_movable;
    QPlainTextEdit* m_feedback;
    OpenChart* m_result = nullptr;
};

class DirectionsDialog : public QDialog {
    Q_OBJECT
public:
    DirectionsDialog(TellurimApp& app, const OpenChart* current, QWidget* parent = nullptr);
    // The document of the list (HTML) and its title, once accepted.
    const QString& document() const { return m_document; }
    const QString& title() const { return m_title; }

public slots:
    void accept() override;

private:
    TellurimApp& m_app;
    HoroscopeChoice* m_choice;
    QListWidget* m_planets;
    QListWidget* m_aspects;
    QComboBox* m_filter;
    QLineEdit *m_from, *m_to;
    QCheckBox *m_sort, *m_latitude, *m_ra_sun;
    QString m_document;
    QString m_title;
};

// The periods of a horoscope as three rows of bars (dasa, bhukti, antara) over a span of whole
// years, with the years or months marked below.
class DasaWindow : public QWidget {
    Q_OBJECT
public:
    DasaWindow(TellurimApp& app, const Horoscope& h, QWidget* parent = nullptr);
    // The span shown: `years` years from 1 January of `first_year`.
    void show_span(int first_year, int years);
    int first_year() const { return m_first_year; }
    int years() const { return m_years; }
    // The antara periods drawn, in order.
    const std::vector<DasaPeriodAt>& periods() const { return m_periods; }
    // "Goto &year ...": asks for the first year, keeping the zoom.
    void goto_year();
    void zoom_year() { show_span(m_first_year, 1); }
    void zoom_century() { show_span(m_first_year, 100); }
    QString tooltip_at(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    double x_of(double jd) const;
    QRectF bars() const;

    TellurimApp& m_app;
    DasaTable m_table;
    double m_cycle_start;
    std::string m_name;
    int m_first_year = 0;
    int m_years = 100;
    double m_from_jd = 0.0, m_to_jd = 0.0;
    std::vector<DasaPeriodAt> m_periods;
};

}  // namespace tellurim
