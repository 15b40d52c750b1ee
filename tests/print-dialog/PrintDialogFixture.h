// The dialog driven by action scripts in the tests, with the jobs it sends kept instead of
// reaching CUPS.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PrintDialog.h"
#include "UiScript.h"

namespace qor::printdialog::test {

inline const std::string kDocument = QOR_SOURCE_DIR "/tests/fixtures/sample-job.ps";

class DialogTest : public ::testing::Test {
  protected:
    // A submitter that keeps the job and answers with job id 42.
    JobSubmitter recorder() {
        return [this](const PrintJob& job, std::string*) {
            jobs.push_back(job);
            return 42;
        };
    }

    // Runs the dialog with the actions; returns the runner's error.
    std::string drive(PrintDialog& dialog, const std::string& script) {
        std::string error;
        auto actions = parseUiScript(script, &error);
        if (!actions) return "parse: " + error;
        UiScriptRunner runner(dialog, std::move(*actions));
        dialog.run();
        alerts = runner.alerts();
        return runner.error();
    }

    std::vector<PrintJob> jobs;
    std::vector<std::string> alerts;
};

}  // namespace qor::printdialog::test
