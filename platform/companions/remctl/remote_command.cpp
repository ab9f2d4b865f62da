#include "remote_command.h"

#include <utility>

namespace remctl {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Lower(std::string_view text) {
    std::string s(text);
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsAcceptableName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes && name.find('\0') == std::string_view::npos;
}

Invocation ParseCommandLine(std::string_view arguments) {
    // Shift-JIS trail bytes are never blanks or quotes, so a byte-wise scan is safe.
    std::string_view rest = TrimBlanks(arguments);
    if (rest.empty()) return {Action::kResident, {}};
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string word = Lower(rest.substr(0, end));
    rest = TrimBlanks(rest.substr(end));
    if (word == "/quit" || word == "-quit") return {rest.empty() ? Action::kQuit : Action::kUsage, {}};
    if (word != "/send" && word != "-send") return {Action::kUsage, {}};
    if (!rest.empty() && rest.front() == '"') {
        if (rest.size() < 2 || rest.back() != '"') return {Action::kUsage, {}};
        rest = rest.substr(1, rest.size() - 2);
    }
    if (!IsAcceptableName(rest)) return {Action::kUsage, {}};
    return {Action::kSend, std::string(rest)};
}

bool NameQueue::Push(std::string_view name) {
    if (!IsAcceptableName(name) || names_.size() >= kMaxPending) return false;
    names_.emplace_back(name);
    return true;
}

bool NameQueue::Pop(std::string& name) {
    if (names_.empty()) return false;
    name = std::move(names_.front());
    names_.pop_front();
    return true;
}

}  // namespace remctl
