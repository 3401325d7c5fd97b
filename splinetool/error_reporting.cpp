#include "error_reporting.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <vector>

namespace tarvo::spline {
namespace {

constexpr int kMaxLevels = 50;
constexpr size_t kMaxMessage = 1024;
constexpr size_t kMaxLine = 78;

struct Level {
    std::string name;
    int type = 0;
    int code = 0;
    bool calledInternally = false;
    std::string message;  // the built message of the recorded error
    bool printed = false; // whether that message has been printed
};

struct Mechanism {
    std::array<Level, kMaxLevels + 1> levels; // 1..50 used
    int level = 1;
    std::array<std::string, 10> integerSlots;
    std::array<std::string, 10> realSlots;
    std::array<std::string, 10> textSlots;
    std::ostringstream kept; // the messages while no program installed its output
    std::ostream* output = &kept;
    std::function<void()> stop;

    Mechanism() { levels[1].name = "USER"; }
};

// One mechanism a thread: readings that fit tables in several threads at once each have
// their own error stack, slots and messages.
Mechanism& mechanism() {
    static thread_local Mechanism state;
    return state;
}

// Policies by type 1..7.
bool printsType(int type) {
    return type >= kWarning && type <= kFatalImmediate;
}

const char* typeWord(int type) {
    static const char* const words[] = {"NOTE",     "ALERT",   "WARNING", "FATAL",
                                        "TERMINAL", "WARNING", "FATAL"};
    return type >= 1 && type <= 7 ? words[type - 1] : "UNKNOWN";
}

std::string padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string rightAligned(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A number written into 14 characters and stripped of its leading blanks.
std::string slotText(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    std::string text = rightAligned(buffer, 14);
    return text.substr(text.find_first_not_of(' '));
}

void stopProgram() {
    Mechanism& m = mechanism();
    *m.output << kStopNotice << "\r\n";
    m.output->flush();
    if (m.stop) {
        m.stop();
        return;
    }
    throw SplineStopped{};
}

// Replaces %(I1), %(R1), %(L1), ... by the slots and %/ by a line break.
std::string buildMessage(const std::string& messageTemplate) {
    const Mechanism& m = mechanism();
    std::string message;
    for (size_t i = 0; i < messageTemplate.size() && message.size() < kMaxMessage; ++i) {
        const std::string_view rest(messageTemplate.data() + i, messageTemplate.size() - i);
        if (rest.size() >= 5 && rest[0] == '%' && rest[1] == '(' && rest[4] == ')' &&
            rest[3] >= '1' && rest[3] <= '9') {
            const size_t slot = static_cast<size_t>(rest[3] - '0');
            switch (rest[2]) {
            case 'I':
                message += m.integerSlots[slot];
                i += 4;
                continue;
            case 'R':
                message += m.realSlots[slot];
                i += 4;
                continue;
            case 'L':
                message += m.textSlots[slot];
                i += 4;
                continue;
            default:
                break;
            }
        }
        if (rest.size() >= 2 && rest[0] == '%' && rest[1] == '/') {
            message += '\n';
            ++i;
            continue;
        }
        message += messageTemplate[i];
    }
    return message.substr(0, kMaxMessage);
}

// Breaks a text into lines of at most `firstWidth`, then `width` characters, at blanks
// where possible; the text keeps its own spacing within a line.
std::vector<std::string> wrap(const std::string& text, size_t firstWidth, size_t width) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    for (std::string rest; std::getline(paragraphs, rest, '\n');) {
        for (;;) {
            const size_t limit = lines.empty() ? firstWidth : width;
            if (rest.size() <= limit) {
                lines.push_back(rest);
                break;
            }
            size_t cut = rest.rfind(' ', limit);
            cut = (cut == std::string::npos || cut == 0) ? limit : cut;
            std::string line = rest.substr(0, cut);
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            lines.push_back(line);
            const size_t next = rest.find_first_not_of(' ', cut);
            rest = next == std::string::npos ? "" : rest.substr(next);
        }
    }
    return lines;
}

void printTraceback() {
    Mechanism& m = mechanism();
    std::ostream& out = *m.output;
    out << " ***    Here is a traceback of subprogram calls in reverse order:\n";
    out << " ***    " << padded("Routine name", 14) << rightAligned("Error type", 10)
        << rightAligned("Error code", 12) << '\n';
    out << " ***    " << padded("------------", 14) << rightAligned("----------", 10)
        << rightAligned("----------", 12) << '\n';
    for (int l = m.level; l >= 1; --l) {
        const Level& entry = m.levels[static_cast<size_t>(l)];
        out << " ***    " << padded(entry.name, 14) << rightAligned(std::to_string(entry.type), 10)
            << rightAligned(std::to_string(entry.code), 12)
            << (entry.calledInternally ? "  (Called internally)" : "") << '\n';
    }
}

// Prints the message recorded at the current level, with a traceback when the error
// occurred below the routine that the main program called.
void printRecorded() {
    Mechanism& m = mechanism();
    Level& entry = m.levels[static_cast<size_t>(m.level)];
    const std::string head = " *** " + padded(typeWord(entry.type), 8) + " ERROR " +
                             std::to_string(entry.code) + " from " + entry.name + ".  ";
    const std::string continuation = " ***" + std::string(10, ' ');
    const std::vector<std::string> lines =
        wrap(entry.message, kMaxLine - head.size(), kMaxLine - continuation.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        *m.output << (i == 0 ? head : continuation) << lines[i] << '\n';
    }
    if (m.level > 2) {
        printTraceback();
    }
    m.output->flush();
    entry.printed = true;
}

// Self-check failures of the mechanism itself: print and stop.
void selfCheckFailure(const std::string& message) {
    Mechanism& m = mechanism();
    *m.output << " *** " << message << '\n';
    m.output->flush();
    stopProgram();
}

} // namespace

void E1PSH(const std::string& name) {
    Mechanism& m = mechanism();
    if (m.level >= kMaxLevels) {
        E1STI(1, kMaxLevels);
        selfCheckFailure(buildMessage(
            "Error condition in E1PSH.  Push would cause stack level to exceed %(I1)."));
        return;
    }
    ++m.level;
    m.levels[static_cast<size_t>(m.level)] = {name.substr(0, 32), 0, 0, m.level > 2, "", false};
}

void E1POP(const std::string& name) {
    Mechanism& m = mechanism();
    if (m.level <= 1) {
        E1STL(1, name);
        selfCheckFailure(buildMessage(
            "Error condition in E1POP.  Cannot pop from %(L1) because stack is empty."));
        return;
    }
    Level& entry = m.levels[static_cast<size_t>(m.level)];
    if (entry.name != name.substr(0, 32)) {
        E1STL(1, name);
        E1STL(2, entry.name);
        selfCheckFailure(buildMessage(
            "Error condition in E1POP.  %(L1) does not match the name %(L2) in the stack."));
        return;
    }
    const int type = entry.type;
    if (type != 0) {
        if (printsType(type) && !entry.printed) {
            printRecorded();
        }
        const bool stops =
            type == kTerminal || type == kFatalImmediate || (type == kFatal && m.level <= 2);
        if (stops) {
            stopProgram();
            return;
        }
    }
    --m.level;
    if (type >= kAlert) {
        Level& caller = m.levels[static_cast<size_t>(m.level)];
        caller.type = type;
        caller.code = entry.code;
        caller.message = entry.message;
        caller.printed = entry.printed || m.level == 1;
    }
}

void E1MES(int type, int code, const std::string& messageTemplate) {
    if (type < 1 || type > 7) {
        selfCheckFailure(".  Error from E1MES.  Illegal error type specified.");
        return;
    }
    Mechanism& m = mechanism();
    Level& entry = m.levels[static_cast<size_t>(m.level)];
    entry.type = type;
    entry.code = code;
    entry.message = buildMessage(messageTemplate);
    entry.printed = false;
    if (type >= kTerminal && printsType(type)) {
        printRecorded();
    }
}

int N1RTY(int which) {
    if (which != 0 && which != 1) {
        selfCheckFailure(".  The argument passed to N1RTY must be 0 or 1.");
        return 0;
    }
    return mechanism().levels[static_cast<size_t>(mechanism().level)].type;
}

int N1RCD(int which) {
    if (which != 0 && which != 1) {
        selfCheckFailure(".  The argument passed to N1RCD must be 0 or 1.");
        return 0;
    }
    return mechanism().levels[static_cast<size_t>(mechanism().level)].code;
}

void E1STI(int slot, int value) {
    if (slot >= 1 && slot <= 9) {
        mechanism().integerSlots[static_cast<size_t>(slot)] = slotText("%.0f", value);
    }
}

void E1STR(int slot, float value) {
    if (slot >= 1 && slot <= 9) {
        mechanism().realSlots[static_cast<size_t>(slot)] = slotText("%.7G", value);
    }
}

void E1STL(int slot, const std::string& value) {
    if (slot >= 1 && slot <= 9) {
        mechanism().textSlots[static_cast<size_t>(slot)] = value.substr(0, 255);
    }
}

void setErrorOutput(std::ostream& output) {
    mechanism().output = &output;
}

void setStopAction(std::function<void()> stop) {
    mechanism().stop = std::move(stop);
}

void keepErrorMessages() {
    mechanism().output = &mechanism().kept;
}

std::string takeKeptMessages() {
    Mechanism& m = mechanism();
    std::string messages = m.kept.str();
    m.kept.str({});
    return messages;
}

void resetErrorReporting() {
    Mechanism& m = mechanism();
    m.level = 1;
    m.levels = {};
    m.levels[1].name = "USER";
}

} // namespace tarvo::spline
