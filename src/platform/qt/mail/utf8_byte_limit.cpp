#include "platform/qt/mail/utf8_byte_limit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QValidator>

#include "mail/settings/mail_form.h"

namespace kavelune::qt {

namespace {

class Utf8ByteValidator : public QValidator {
public:
    Utf8ByteValidator(std::size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int&) const override {
        return static_cast<std::size_t>(input.toUtf8().size()) <= limit_ ? Acceptable : Invalid;
    }

private:
    std::size_t limit_;
};

}  // namespace

void limitUtf8Bytes(QLineEdit& box, std::size_t limit) { box.setValidator(new Utf8ByteValidator(limit, &box)); }

void limitUtf8Bytes(QPlainTextEdit& box, std::size_t limit) {
    // A plain text box takes no validator: what goes past the limit is taken off again at once,
    // from where the cursor is, which is where the typing or the paste went in.
    QObject::connect(&box, &QPlainTextEdit::textChanged, &box, [&box, limit] {
        const QString text = box.toPlainText();
        const QByteArray bytes = text.toUtf8();
        if (static_cast<std::size_t>(bytes.size()) <= limit) return;
        QTextCursor cursor = box.textCursor();
        const int position = cursor.position();
        const QString before = text.left(position);
        const QString after = text.mid(position);
        const std::size_t room = limit - std::min<std::size_t>(limit, after.toUtf8().size());
        const std::string kept = clipUtf8(before.toStdString(), room);
        const QString trimmed = QString::fromStdString(kept) + after;
        const QSignalBlocker quiet(box);
        box.setPlainText(trimmed);
        cursor = box.textCursor();
        cursor.setPosition(static_cast<int>(QString::fromStdString(kept).size()));
        box.setTextCursor(cursor);
    });
}

std::string toUtf8(const QString& text) { return text.toStdString(); }

}  // namespace kavelune::qt
