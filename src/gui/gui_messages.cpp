#include "gui/gui_messages.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace tellurim {
namespace {

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons box_buttons(MessageButtons b) {
    switch (b) {
        case MessageButtons::Ok: return QMessageBox::Ok;
        case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton box_button(MessageAnswer a) {
    switch (a) {
        case MessageAnswer::Ok: return QMessageBox::Ok;
        case MessageAnswer::Cancel: return QMessageBox::Cancel;
        case MessageAnswer::Yes: return QMessageBox::Yes;
        case MessageAnswer::No: return QMessageBox::No;
        case MessageAnswer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

}  // namespace

MessageAnswer GuiMessages::show(const Message& m) {
    // A worker (a TK run) asks on the application's thread and waits for the answer.
    if (QThread::currentThread() != qApp->thread()) {
        MessageAnswer answer = m.default_answer;
        QMetaObject::invokeMethod(qApp, [&] { answer = show(m); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    QMessageBox box(box_icon(m.icon), qs(m.caption), qs(m.text), box_buttons(m.buttons), m_parent.data());
    box.setDefaultButton(box_button(m.default_answer));
    switch (box.exec()) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Cancel: return MessageAnswer::Cancel;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Retry: return MessageAnswer::Retry;
        default: return m.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

std::string GuiMessages::ask_text(const std::string& prompt, const std::string& proposed) {
    if (QThread::currentThread() != qApp->thread()) {
        std::string answer;
        QMetaObject::invokeMethod(qApp, [&] { answer = ask_text(prompt, proposed); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    return QFileDialog::getExistingDirectory(m_parent.data(), qs(prompt), qs(proposed)).toStdString();
}

}  // namespace tellurim
