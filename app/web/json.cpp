#include "app/web/json.h"

#include <cstdio>

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += ch;
        }
    }
    return out + '"';
}

std::string& JsonObject::key(const char* k) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    out_ += k;
    out_ += "\":";
    return out_;
}

void JsonObject::number(const char* k, float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    key(k) += buffer;
}

void JsonObject::colour(const char* k, const std::optional<Rgb>& c) {
    if (!c) {
        null(k);
        return;
    }
    std::string& out = key(k);
    out += '[';
    out += std::to_string(c->r);
    out += ',';
    out += std::to_string(c->g);
    out += ',';
    out += std::to_string(c->b);
    out += ']';
}

void JsonObject::strings(const char* k, const std::vector<std::string>& list) {
    std::string& out = key(k);
    out += '[';
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += ',';
        out += jsonString(list[i]);
    }
    out += ']';
}
