#include "kit_rules.h"

#include <climits>

namespace spkit {

bool IsNewerSeries(int keyboardSubtype) {
    return ((static_cast<uint32_t>(keyboardSubtype) >> 8) & 0xF) != 0xD;
}

std::string FlattenMachineIds(std::string_view section) {
    std::string flat;
    flat.reserve(section.size());
    bool comment = false;
    for (char c : section) {
        if (c == '\0') {
            flat += ',';
            comment = false;
        } else if (comment) {
            flat += ',';
        } else if (c == ';') {
            flat += ',';
            comment = true;
        } else if (c >= 'A' && c <= 'Z') {
            flat += static_cast<char>(c - 'A' + 'a');
        } else {
            flat += c;
        }
    }
    return flat;
}

std::string MachineIdProbe(uint16_t id) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint32_t v = id; v; v >>= 4) hex.insert(hex.begin(), kDigits[v & 0xF]);
    if (hex.empty()) hex = "0";
    if (hex.size() % 2) hex.insert(hex.begin(), '0');
    return "," + hex + ",";
}

bool MachineIdListed(std::string_view section, uint16_t id) {
    if (section.empty() || section.front() == '\0') return true;
    // Every other entry has a comma before it (the NUL ending the one before); without this
    // one the first identifier of the list could never match.
    return ("," + FlattenMachineIds(section)).find(MachineIdProbe(id)) != std::string::npos;
}

namespace {

bool HasPrefix(std::string_view entry, char upper) {
    return entry.size() >= 2 && entry[1] == ',' &&
           (entry[0] == upper || entry[0] == upper - 'A' + 'a');
}

}  // namespace

bool FileConditionHolds(std::string_view entry, std::string_view windowsDrive,
                        const FileSizeProbe& probe) {
    std::string e(entry);
    bool comment = false;
    for (char& c : e) {
        if (c == ';') comment = true;
        if (comment || c == '\t') c = ',';
    }
    size_t start = HasPrefix(e, 'A') || HasPrefix(e, 'O') ? 2 : 0;
    size_t end = e.find(',', start);
    std::string path = e.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!path.empty() && path.front() == '\\') path = std::string(windowsDrive) + path;

    uint32_t size = 0;
    if (!probe(path, size)) return false;
    if (e.find(",0,") != std::string::npos) return true;
    return size != 0 && e.find("," + std::to_string(size) + ",") != std::string::npos;
}

bool FileConditionsMet(std::string_view section, std::string_view windowsDrive,
                       const FileSizeProbe& probe) {
    bool anyAlternative = false;
    bool alternativeHeld = false;
    while (!section.empty()) {
        size_t nul = section.find('\0');
        std::string_view entry = section.substr(0, nul);
        section = nul == std::string_view::npos ? std::string_view() : section.substr(nul + 1);
        if (entry.empty()) break;  // the double NUL ending the list
        if (entry.front() == ';') continue;
        bool alternative = HasPrefix(entry, 'O');
        bool holds = FileConditionHolds(entry, windowsDrive, probe);
        if (!alternative && !holds) return false;
        if (alternative) {
            anyAlternative = true;
            alternativeHeld = alternativeHeld || holds;
        }
    }
    return !anyAlternative || alternativeHeld;
}

int32_t ParseInstalled(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) value = int64_t(INT32_MAX) + 1;  // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace spkit
