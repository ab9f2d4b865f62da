// A settings file in memory, read the way the profile API reads one: "[section]" lines,
// "key=value" lines, blanks trimmed around keys and values, one pair of quotes removed, names
// compared without case, the first entry of a key wins. Enough for the fuzz targets to hand a
// whole file to a reader that asks for keys one by one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzini {

inline std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

class File {
public:
    File(const uint8_t* data, size_t size) {
        // The profile API stops a line at a NUL as at a line end.
        std::string_view text(reinterpret_cast<const char*>(data), size);
        Section* current = nullptr;
        while (!text.empty()) {
            size_t end = text.find_first_of("\n\0", 0, 2);
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            line = Trim(line);
            if (line.empty()) continue;
            if (line.front() == '[') {
                size_t close = line.find(']');
                sections_.push_back({Lower(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)), {}});
                current = &sections_.back();
                continue;
            }
            if (!current) continue;
            size_t eq = line.find('=');
            if (eq == std::string_view::npos) {
                current->entries.push_back({"", std::string(line), ""});
                continue;
            }
            std::string_view value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            current->entries.push_back({Lower(Trim(line.substr(0, eq))), std::string(value), std::string(Trim(line.substr(0, eq)))});
        }
    }

    bool Get(const char* section, const char* key, std::string& value) const {
        const std::string s = Lower(section), k = Lower(key);
        for (const Section& sec : sections_) {
            if (sec.name != s) continue;
            for (const auto& [name, text, original] : sec.entries)
                if (!name.empty() && name == k) {
                    value = text;
                    return true;
                }
        }
        return false;
    }

    // As GetPrivateProfileStringA copies into a buffer of size bytes.
    void Text(const char* section, const char* key, const char* fallback, char* buffer, uint32_t size) const {
        if (size == 0) return;
        std::string value;
        if (!Get(section, key, value)) value = fallback ? fallback : "";
        const size_t n = value.size() < size - 1 ? value.size() : size - 1;
        std::memcpy(buffer, value.data(), n);
        buffer[n] = 0;
    }

    // As GetPrivateProfileIntA: optional sign, decimal or "0x" hex, unsigned wrap.
    int32_t Int(const char* section, const char* key, int32_t fallback) const {
        std::string value;
        if (!Get(section, key, value)) return fallback;
        const char* p = value.c_str();
        bool negative = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        uint32_t v = 0;
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
            for (p += 2;; ++p) {
                int d = (*p >= '0' && *p <= '9') ? *p - '0' : (*p >= 'a' && *p <= 'f') ? *p - 'a' + 10
                      : (*p >= 'A' && *p <= 'F') ? *p - 'A' + 10 : -1;
                if (d < 0) break;
                v = v * 16 + uint32_t(d);
            }
        } else {
            for (; *p >= '0' && *p <= '9'; ++p) v = v * 10 + uint32_t(*p - '0');
        }
        return int32_t(negative ? 0u - v : v);
    }

    // As GetPrivateProfileSectionA: "key=value" entries, each ended by a NUL.
    std::string SectionText(const char* section) const {
        std::string out;
        const std::string s = Lower(section);
        for (const Section& sec : sections_) {
            if (sec.name != s) continue;
            for (const auto& [name, text, original] : sec.entries) {
                out += name.empty() ? text : original + "=" + text;
                out += '\0';
            }
            break;
        }
        return out;
    }

private:
    struct Entry {
        std::string name;      // lower case; empty for a line without "="
        std::string text;      // the value, or the whole line without "="
        std::string original;  // the key as written
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

}  // namespace fuzzini
