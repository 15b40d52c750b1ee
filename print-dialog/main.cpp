// quorvan-print: prints a file through CUPS from a dialog that shows the printer's panels.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "PrintDialog.h"
#include "UiScript.h"

namespace {

constexpr const char* kUsage =
    "Usage: quorvan-print [-d QUEUE] [--script FILE] FILE\n"
    "Shows the print dialog for FILE with the panels of the chosen printer and prints it\n"
    "through CUPS.\n"
    "  -d QUEUE        the queue chosen when the dialog opens (default: CUPS's default)\n"
    "  --script FILE   carry out the user actions listed in FILE instead of waiting for a\n"
    "                  person (see quorvan-print(1))\n"
    "Environment: QOR_PDE_PATH (folders of the panel bundles, separated by colons),\n"
    "CUPS_SERVER (the scheduler to use).\n"
    "Exit status: 0 printed, 1 error, 2 cancelled.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "quorvan-print: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    std::string queue;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if ((arg == "-d" || arg == "--script") && i + 1 < argc) {
            (arg == "-d" ? queue : scriptPath) = argv[++i];
        } else if (!arg.starts_with('-') && file.empty()) {
            file = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 1;
        }
    }
    if (file.empty()) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    if (!std::ifstream(file)) return fail("cannot read " + file);

    std::optional<std::vector<qor::printdialog::UiAction>> actions;
    if (!scriptPath.empty()) {
        std::ifstream in(scriptPath);
        if (!in) return fail("cannot read the script " + scriptPath);
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        actions = qor::printdialog::parseUiScript(text.str(), &error);
        if (!actions) return fail(scriptPath + ": " + error);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvan-print"));
    std::string defaultQueue;
    const auto queues = qor::printdialog::cupsQueues(&defaultQueue);
    if (queue.empty()) queue = defaultQueue.empty() && !queues.empty() ? queues[0] : defaultQueue;

    int status = 0;
    {
        qor::printdialog::PrintDialog dialog(file);
        dialog.setQueues(queues);
        std::optional<qor::printdialog::UiScriptRunner> runner;
        if (actions) runner.emplace(dialog, std::move(*actions));
        if (queues.empty()) {
            StandardAlert(kAlertStopAlert, "There is no printer to print to.",
                          "Add a queue to CUPS first (lpadmin).", nullptr, nullptr);
        } else if (!dialog.chooseQueue(queue)) {
            StandardAlert(kAlertStopAlert,
                          "The printer \xE2\x80\x9C" + queue + "\xE2\x80\x9D is unknown.", {},
                          nullptr, nullptr);
        }
        const auto outcome = dialog.run();
        for (const auto& problem : dialog.problems())
            std::fprintf(stderr, "quorvan-print: %s\n", problem.c_str());
        if (runner && !runner->error().empty()) {
            status = fail("script " + runner->error());
        } else if (outcome == qor::printdialog::PrintDialog::Outcome::Printed) {
            std::printf("request id is %s-%d\n", dialog.queue().c_str(), dialog.jobID());
        } else {
            status = 2;
        }
    }
    return status;
}
