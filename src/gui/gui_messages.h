#pragma once
// The message interface of the desktop application: each message in a modal message box with
// its caption, icon, buttons and default button; a directory asked with the folder dialog.

#include <QWidget>
#include <QPointer>

#include "core/messages.h"

namespace tellurim {

class GuiMessages : public MessageSink {
public:
    // The boxes are centred on `parent` once it is set (the main window).
    void set_parent(QWidget* parent) { m_parent = parent; }
    MessageAnswer show(const Message& message) override;
    std::string ask_text(const std::string& prompt, const std::string& proposed) override;

private:
    QPointer<QWidget> m_parent;
};

inline QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace tellurim
