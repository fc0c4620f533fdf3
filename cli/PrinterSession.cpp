#include "cli/PrinterSession.h"

#include "app/SystemQueueRedirector.h"
#include "link/SystemPortFactory.h"
#include "resources/CliTexts.h"

namespace zorvik {

namespace {

std::unique_ptr<Pacer> MakePacer(const CliEnv& env)
{
    if (env.makePacer)
        return env.makePacer();
    return std::make_unique<SystemPacer>();
}

}  // namespace

PrinterSession::PrinterSession(const Target& target, const CliEnv& env, Console& console, bool trace,
                               std::string prefix, std::string* messages)
    : target_(target), env_(env), console_(console), pacer_(MakePacer(env)),
      notifier_(messages
                    ? PrintingNotifier::Sink([messages](std::string_view line) { messages->append(line); })
                    : PrintingNotifier::Sink([&console](std::string_view line) { console.Err(line); }),
                prefix),
      link_(std::make_unique<PrinterLink>(env.makePortFactory ? env.makePortFactory(*pacer_, notifier_)
                                                              : MakeSystemPortFactory(*pacer_, notifier_))),
      // Only the system's own ports can be held by the system's printer queues.
      queues_(env.makePortFactory ? nullptr : MakeSystemQueueRedirector()),
      check_(*link_, *pacer_, notifier_, queues_.get())
{
    if (trace) {
        trace_ = std::make_unique<TraceWriter>(console, target.text);
        link_->SetTrace(trace_->Hook());
    }
}

PrinterSession::~PrinterSession()
{
    check_.Drop();
    link_->SetTrace({});
    // The port is closed: the queues that were released for it get it back.
    if (queues_)
        queues_->RestoreAll();
}

bool PrinterSession::Connect()
{
    Progress("connecting");
    return check_.Run(target_.type, target_.settings);
}

const char* PrinterSession::ConnectStage() const
{
    return check_.PortOpened() ? kStageIdentify : kStageConnect;
}

std::string PrinterSession::Failure() const
{
    if (!failure_.empty())
        return failure_;
    if (!notifier_.LastWarning().empty())
        return notifier_.LastWarning();
    return notifier_.LastMessage();
}

void PrinterSession::Progress(const std::string& phase, int percent)
{
    if (progress_)
        progress_(phase, percent);
}

}  // namespace zorvik
