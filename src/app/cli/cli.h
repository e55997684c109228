#pragma once
// kestrova-cli: the program's work without a window.

#include <QStringList>

#include <functional>
#include <vector>

namespace kestrova::cli {

// Exit statuses: 0 done, 1 bad usage, 2 the work failed.
inline constexpr int ExitOk = 0;
inline constexpr int ExitUsage = 1;
inline constexpr int ExitFailed = 2;

struct Command {
    const char* name;
    const char* usage;  // the options, as the help lists them
    std::function<int(const QStringList& arguments)> run;
    // What "kestrova-cli NAME --help" adds to the usage: what the command does and its options, then
    // one example command line.
    const char* details = "";
    const char* example = "";
};

// The help of one command: its usage line, details and example.
QString CommandHelp(const Command& command);

// Says text on standard error as "kestrova-cli COMMAND: text" and answers status.
int SayFailure(const char* command, int status, const QString& text);

// "VERB NAME: i of n frames" on standard error for a long job: rewritten in place every 10 frames on a
// terminal, a line every 100 frames (and at the last) otherwise.
class FrameProgress {
public:
    FrameProgress(const char* verb, const QString& name);
    void show(long long done, long long count);
    // Ends the line on a terminal once the job is through.
    void finish();

private:
    const char* verb_;
    QByteArray name_;
    bool terminal_;
};

// Every command kestrova-cli knows, in the order the help lists them.
const std::vector<Command>& Commands();

// True when the command line draws text on pictures (an insertion file), which needs Qt Gui's fonts:
// such a run gets a QGuiApplication on the offscreen platform, never a display.
bool NeedsPainting(const QStringList& arguments);

// Runs one command line (without the program name); prints to standard output and error.
int Run(const QStringList& arguments);

}  // namespace kestrova::cli
