// Runs one job: checks the arguments, writes the PJL header, the job pass and the UEL.
#include "qorpstops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "DebugFiles.h"
#include "JobPass.h"
#include "JobRoutingOptions.h"
#include "argumentStore.h"
#include "pjlCreation.h"

namespace qor {
namespace {

constexpr const char* kVersion = "$Revision: 1.21 $";
constexpr size_t kDeviceURIMax = 99;

const char kHelp[] =
    "Usage: qorpstops job-id user title copies options [file]\n"
    "\n"
    "CUPS filter for Quorvan laser printers. Reads a PostScript job from file (or from\n"
    "standard input) and writes it to standard output, preceded by a PJL job header\n"
    "built from the job-routing options (PrintTo, JRUSERNAME, JRHOLDKEY, JRPHONENUMBER,\n"
    "JRSTATIONID, JRCOVERSHEET, ...) and followed by the PJL universal exit sequence.\n"
    "Printers whose DEVICE_URI begins with \"usb:\" get neither header nor exit sequence.\n"
    "\n"
    "Environment:\n"
    "  DEVICE_URI     the printer's device URI\n"
    "  QOR_DEBUG_DIR  folder of the debug marker qor_log and the log files qor_ps,\n"
    "                 qor_ps2 and qor_args (default /tmp). When the marker exists and\n"
    "                 belongs to root or to the filter's user, the filter copies its\n"
    "                 input, output and arguments to the log files.\n"
    "  QOR_JOB_ROUTING_BUNDLE  the Job Routing panel bundle whose strings files\n"
    "                 translate the fax cover page (default: the installed bundle).\n"
    "\n"
    "Exit status: 0 after the job, 1 on a wrong argument count, an unreadable job file\n"
    "or a failed write.\n";

// One log file; absent when logging is off or the file was refused.
struct LogFile {
    std::string path;
    std::unique_ptr<OutputSink> sink;
};

LogFile openLog(const std::string& dir, const char* name) {
    LogFile log{dir + "/" + name, nullptr};
    const int fd = openLogFile(log.path);
    if (fd < 0) {
        std::fprintf(stderr, "ERROR: Unable to open file %s\n", log.path.c_str());
    } else {
        log.sink = std::make_unique<OutputSink>(fd, true);
    }
    return log;
}

// A copy count usable in PostScript: digits only, from 1 up to the largest integer.
bool isPlainPositiveNumber(const std::string* text) {
    if (text == nullptr || text->empty() || text->size() > 10) return false;
    unsigned long long value = 0;
    for (char c : *text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value >= 1 && value <= 2147483647ULL;
}

std::string collatedCopies(const argumentStore& store, const char* copiesArgument) {
    const std::string* option = store.getValue(jr::kCopies);
    if (isPlainPositiveNumber(option)) return *option;
    const std::string argument = copiesArgument;
    if (isPlainPositiveNumber(&argument)) return argument;
    return "1";
}

// The arguments, the options as decoded and the header, for the debug log.
void writeArgumentsLog(const LogFile& log, int argc, char* argv[], const argumentStore& store,
                       const pjlCreation& header, const std::string& deviceURI) {
    OutputSink& out = *log.sink;
    for (int i = 0; i < argc; ++i) {
        out.write("ARGV[" + std::to_string(i) + "] = " + argv[i] + "\n\n");
    }
    const std::string separator = "\n" + std::string(88, '=') + "\n";
    out.write(separator + kVersion + separator);
    for (const std::string& name : store.keyEnumerator()) {
        out.write(name + "\n\t" + *store.getValue(name) + "\n\n");
    }
    out.write(separator + "     URI for printer = " + deviceURI + separator);
    for (const std::string& line : header.objectEnumerator()) out.write(line);
    if (!out.flush()) std::fprintf(stderr, "ERROR: Unable to write file %s\n", log.path.c_str());
}

// Pipes of the default 64 KiB make the filter and its neighbours in the chain take turns
// at every 64 KiB; a larger pipe lets each side move large blocks per wake-up. Best
// effort: a descriptor that is not a pipe, or a limit that refuses, changes nothing.
void enlargePipe(int fd) {
#ifdef F_SETPIPE_SZ
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode)) fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
    (void)fd;
#endif
}

CoverPageFn coverPageFor(const argumentStore& store) {
    return [&store](const WriteFn& write) { return writeFaxCoverPage(store, write); };
}

int writeFailed(int error) {
    std::fprintf(stderr, "ERROR: qorpstops is unable to write the printer data: %s\n",
                 std::strerror(error));
    return 1;
}

}  // namespace

int qorpstopsMain(int argc, char* argv[]) {
    // A closed pipe must show as a failed write, not end the process silently.
    std::signal(SIGPIPE, SIG_IGN);

    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "ERROR: %s \n\tqorpstops job-id user title copies options [file]\n",
                     kVersion);
        return 1;
    }

    const char* uriEnv = std::getenv("DEVICE_URI");
    const std::string deviceURI =
        std::string(uriEnv != nullptr ? uriEnv : "").substr(0, kDeviceURIMax);
    const bool usb = deviceURI.compare(0, 4, "usb:") == 0;

    int inputFd = STDIN_FILENO;
    if (argc == 7) {
        inputFd = open(argv[6], O_RDONLY | O_CLOEXEC);
        if (inputFd < 0) {
            std::fputs("ERROR: qorpstops is unable to open input file\n", stderr);
            return 1;
        }
    }

    const std::string dir = debugDirectory();
    const std::string marker = dir + "/qor_log";
    const bool logging = debugMarkerHonoured(marker);
    LogFile inputLog, outputLog, argsLog;
    if (logging) {
        std::fprintf(stderr, "INFO: Logging enabled by %s file.\n", marker.c_str());
        inputLog = openLog(dir, "qor_ps");
        outputLog = openLog(dir, "qor_ps2");
        argsLog = openLog(dir, "qor_args");
    }

    const argumentStore store = argumentStore::initWithOptionString(argv[5]);
    const pjlCreation header = pjlCreation::initFromArgsStore(store, argv[2]);
    if (argsLog.sink) writeArgumentsLog(argsLog, argc, argv, store, header, deviceURI);
    argsLog.sink.reset();

    JobPassSettings settings;
    if (const std::string* mode = store.getValue(jr::kPrintTo)) {
        settings.routingMode = *mode;
        if (const std::string* cover = store.getValue(jr::kCoverSheet)) settings.coverFlag = *cover;
    }
    settings.collatedCopies = collatedCopies(store, argv[4]);

    enlargePipe(inputFd);
    enlargePipe(STDOUT_FILENO);
    OutputSink out(STDOUT_FILENO, false);
    JobPass pass(settings, coverPageFor(store), out, inputLog.sink.get(), outputLog.sink.get());
    // The header goes to the printer alone: the output copy starts with the job, and the
    // arguments log already holds the header.
    if (settings.routingMode && !usb) {
        for (const std::string& line : header.objectEnumerator()) out.write(line);
    }

    const bool passed = pass.run(inputFd);
    if (inputFd != STDIN_FILENO) close(inputFd);
    if (pass.readError() != 0) {
        pass.flushAll();
        std::fprintf(stderr, "ERROR: qorpstops is unable to read input file: %s\n",
                     std::strerror(pass.readError()));
        return 1;
    }
    if (!passed) {
        // The log copies still get what was read and written: they are what shows the failure.
        pass.flushAll();
        return writeFailed(out.error());
    }

    if (!usb) pass.emit(std::string(kUEL) + "\n");
    if (!pass.flushAll()) return writeFailed(out.error());
    for (LogFile* log : {&inputLog, &outputLog}) {
        if (log->sink && log->sink->failed()) {
            std::fprintf(stderr, "ERROR: Unable to write file %s\n", log->path.c_str());
        }
    }
    return 0;
}

}  // namespace qor
