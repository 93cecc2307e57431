#include "platform/qt/mail/send_mail_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

#include "app/mail/mail_dialog_text.h"
#include "base/message_box.h"
#include "mail/settings/mail_address.h"
#include "platform/qt/mail/dialog_units.h"
#include "platform/qt/mail/utf8_byte_limit.h"

namespace kavelune::qt {

namespace {

QString text(MenuLanguage language, int row) { return QString::fromStdString(mailText(language, row)); }

QLabel* label(QWidget* parent, const QString& text, const QRect& place) {
    auto* made = new QLabel(text, parent);
    made->setGeometry(place);
    return made;
}

QLineEdit* lineBox(QWidget* parent, const QRect& place, std::size_t limit) {
    auto* box = new QLineEdit(parent);
    box->setGeometry(place);
    limitUtf8Bytes(*box, limit);
    return box;
}

}  // namespace

SendMailDialog::SendMailDialog(MailForm form, MailEnvironment environment, ContentSource content)
    : form_(std::move(form)), environment_(std::move(environment)), content_(std::move(content)) {
    const MenuLanguage language = environment_.language;
    setFont(mailDialogFont());
    const DialogUnits units(font());
    setWindowTitle(QString::fromLatin1(kSendMailTitle));
    setFixedSize(units.size(194, 236));

    label(this, text(language, mail_text::kFromLabel), units.rect(10, 9, 49, 9));
    label(this, text(language, mail_text::kToLabel), units.rect(10, 26, 49, 9));
    label(this, text(language, mail_text::kSubjectLabel), units.rect(10, 43, 140, 9));

    // Made in the order the Tab key visits them.
    sender_ = new QComboBox(this);
    sender_->setEditable(true);
    sender_->setInsertPolicy(QComboBox::NoInsert);
    const QRect senderPlace = units.rect(65, 7, 119, 49);
    sender_->setGeometry(senderPlace.x(), senderPlace.y(), senderPlace.width(),
                         std::min(sender_->sizeHint().height(), senderPlace.height()));
    limitUtf8Bytes(*sender_->lineEdit(), kSenderLimit);
    recipients_ = lineBox(this, units.rect(65, 25, 119, 12), kRecipientsLimit);
    subject_ = lineBox(this, units.rect(8, 54, 177, 12), kSubjectLimit);
    message_ = new QPlainTextEdit(this);
    message_->setGeometry(units.rect(8, 72, 177, 122));
    // Enter makes a new line; Tab still goes on to the buttons, as in the other boxes.
    message_->setTabChangesFocus(true);
    limitUtf8Bytes(*message_, kMessageLimit);
    send_ = new QPushButton(text(language, mail_text::kSendButton), this);
    send_->setGeometry(units.rect(41, 200, 49, 14));
    send_->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(units.rect(101, 200, 50, 14));
    cancel->setAutoDefault(false);

    // The list is sorted as the user reads it; the first entry that begins with the sender text
    // is chosen.
    QStringList addresses;
    for (const MailAccount& account : form_.accounts) addresses << QString::fromStdString(account.address);
    std::sort(addresses.begin(), addresses.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    sender_->addItems(addresses);
    const QString sender = QString::fromStdString(form_.sender);
    const auto match = std::find_if(addresses.begin(), addresses.end(),
                                    [&](const QString& address) { return address.startsWith(sender, Qt::CaseInsensitive); });
    if (!sender.isEmpty() && match != addresses.end()) {
        sender_->setCurrentIndex(static_cast<int>(match - addresses.begin()));
    } else {
        sender_->setEditText(sender);
    }
    // A real sender is ready: the recipients come next. A prompt ("Please enter your email
    // address") is selected, so typing replaces it.
    if (isValidMailAddress(form_.sender)) {
        recipients_->setFocus();
    } else {
        sender_->setFocus();
        sender_->lineEdit()->selectAll();
    }

    connect(send_, &QPushButton::clicked, this, &SendMailDialog::send);
    connect(cancel, &QPushButton::clicked, this, &SendMailDialog::reject);
}

SendMailDialog::~SendMailDialog() {
    // Before the widgets go: from here on the sending thread calls nothing of this dialog's.
    job_.reset();
}

void SendMailDialog::shutDown() {
    shutDown_ = true;
    job_.reset();
    hide();
}

void SendMailDialog::reject() {
    if (cancelAction(state_) == CancelAction::CancelSend) {
        if (job_) job_->cancel();
        return;
    }
    QDialog::reject();
}

void SendMailDialog::send() {
    if (!sendButtonEnabled(state_)) return;
    send_->setEnabled(false);
    form_.sender = clipUtf8(toUtf8(sender_->currentText()), kSenderLimit);
    form_.recipients = clipUtf8(toUtf8(recipients_->text()), kRecipientsLimit);
    form_.subject = clipUtf8(toUtf8(subject_->text()), kSubjectLimit);
    form_.message = clipUtf8(toUtf8(message_->toPlainText()), kMessageLimit);

    const SendFormCheck check = checkSendForm(form_);
    if (check != SendFormCheck::Ready) {
        showMessageBox(sendFormMessage(check, environment_.language), kInformationCaption);
        if (!shutDown_) send_->setEnabled(true);
        return;
    }

    state_ = SendDialogState::Sending;
    // Below the buttons, a scroll arrow high, as wide as the dialog less a margin each side. It
    // shows it is busy while the invitation is packed, and counts once the page is known.
    const int height = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_->setRange(0, 0);
    progress_->setGeometry(10, this->height() - height * 3 / 2, width() - 20, height);
    progress_->show();

    job_ = std::make_unique<InvitationSendJob>(
        form_, content_(), invitationSetupFor(environment_),
        [this](std::size_t done, std::size_t range) {
            QMetaObject::invokeMethod(this, [this, done, range] { showProgress(done, range); }, Qt::QueuedConnection);
        },
        [this](const InvitationResult& result) {
            QMetaObject::invokeMethod(this, [this, result] { sendFinished(result); }, Qt::QueuedConnection);
        });
}

void SendMailDialog::showProgress(std::size_t done, std::size_t range) {
    if (!progress_ || shutDown_) return;
    const int maximum = static_cast<int>(std::min<std::size_t>(std::max<std::size_t>(range, 1), 1 << 30));
    progress_->setRange(0, maximum);
    progress_->setValue(static_cast<int>(std::min<std::size_t>(done, static_cast<std::size_t>(maximum))));
}

void SendMailDialog::endSending() {
    job_.reset();
    delete progress_;
    progress_ = nullptr;
    state_ = SendDialogState::Idle;
}

void SendMailDialog::sendFinished(const InvitationResult& result) {
    if (shutDown_) return;
    endSending();
    showMessageBox(result.text, result.caption);
    if (shutDown_) return;
    if (result.sent) {
        QDialog::accept();
    } else {
        send_->setEnabled(true);
    }
}

}  // namespace kavelune::qt
