#pragma once
// A small JSON writer, so that every build (the desktop's and the WebAssembly's) writes the same
// characters for the same data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/window/controls.h"

// A JSON string literal for s (UTF-8 passes through; quotes, backslashes and controls escaped).
std::string jsonString(const std::string& s);

// A JSON object written member by member into `out`; closed when it goes out of scope.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    ~JsonObject() { out_ += '}'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // Starts the member `k` and returns the text to append its value to.
    std::string& key(const char* k);
    void str(const char* k, const std::string& v) { key(k) += jsonString(v); }
    void boolean(const char* k, bool v) { key(k) += v ? "true" : "false"; }
    void integer(const char* k, long long v) { key(k) += std::to_string(v); }
    // Twips are single precision; nine significant digits give them back exactly.
    void number(const char* k, float v);
    void colour(const char* k, const std::optional<Rgb>& c);
    void strings(const char* k, const std::vector<std::string>& list);
    void null(const char* k) { key(k) += "null"; }

private:
    std::string& out_;
    bool first_ = true;
};
