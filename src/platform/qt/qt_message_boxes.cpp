#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QString>
#include <QThread>

#include <iostream>

#include "base/message_box.h"

namespace kavelune::qt {

namespace {

MessageAnswer showOnThisThread(const MessageRequest& request) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Warning;
    switch (request.buttons) {
        case MessageButtons::YesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            icon = QMessageBox::Question;
            break;
        case MessageButtons::OkCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
        case MessageButtons::Ok: break;
    }
    if (request.caption == "Information") {
        icon = QMessageBox::Information;
    }
    QMessageBox box(icon, QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), buttons);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Cancel: return MessageAnswer::Cancel;
        case QMessageBox::Ok: return MessageAnswer::Ok;
        default: break;
    }
    // Closed with the window's close button or Escape.
    switch (request.buttons) {
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::OkCancel: return MessageAnswer::Cancel;
        case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

}  // namespace

void installQtMessageBoxes() {
    setMessageBoxHandler([](const MessageRequest& request) {
        QApplication* application = qApp;
        if (!application) {
            // Too early or too late for a dialog: the text still reaches the user's terminal.
            std::cerr << request.caption << ": " << request.text << '\n';
            return request.buttons == MessageButtons::YesNo      ? MessageAnswer::No
                   : request.buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                                  : MessageAnswer::Ok;
        }
        if (QThread::currentThread() == application->thread()) {
            return showOnThisThread(request);
        }
        MessageAnswer answer = MessageAnswer::Ok;
        QMetaObject::invokeMethod(
            application, [&] { answer = showOnThisThread(request); },
            Qt::BlockingQueuedConnection);
        return answer;
    });
}

}  // namespace kavelune::qt
