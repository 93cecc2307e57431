#include "platform/qt/mail/invitation_send_job.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/posix/tcp_mail_connector.h"

namespace kavelune::qt {

namespace {
// How long closing waits for a cancelled send before leaving it to end alone.
constexpr std::chrono::seconds kEndWait{3};
}  // namespace

// Lives as long as the longer of the job and its thread.
struct InvitationSendJob::Shared {
    MailForm form;
    InvitationContent content;
    InvitationSetup setup;
    std::atomic<bool> cancel{false};

    std::mutex lock;
    std::condition_variable ended;
    bool finished = false;
    bool callerGone = false;  // once set, the caller's hooks are not called again
    Progress progress;
    Finished done;
};

InvitationSendJob::InvitationSendJob(MailForm form, InvitationContent content, InvitationSetup setup,
                                     Progress progress, Finished finished)
    : shared_(std::make_shared<Shared>()) {
    shared_->form = std::move(form);
    shared_->content = std::move(content);
    shared_->setup = std::move(setup);
    shared_->progress = std::move(progress);
    shared_->done = std::move(finished);
    thread_ = std::thread([shared = shared_] {
        SendControls controls;
        controls.cancel = &shared->cancel;
        controls.progress = [&shared](std::size_t done, std::size_t range) {
            std::lock_guard<std::mutex> guard(shared->lock);
            if (!shared->callerGone && shared->progress) shared->progress(done, range);
        };
        posix::TcpMailConnector connector;
        const InvitationResult result =
            SendInvitation(shared->form, shared->content, shared->setup, connector, controls);
        std::lock_guard<std::mutex> guard(shared->lock);
        if (!shared->callerGone && shared->done) shared->done(result);
        shared->finished = true;
        shared->ended.notify_all();
    });
}

InvitationSendJob::~InvitationSendJob() {
    cancel();
    bool finished = false;
    {
        std::unique_lock<std::mutex> guard(shared_->lock);
        shared_->callerGone = true;
        finished = shared_->ended.wait_for(guard, kEndWait, [this] { return shared_->finished; });
    }
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

void InvitationSendJob::cancel() { shared_->cancel.store(true); }

}  // namespace kavelune::qt
