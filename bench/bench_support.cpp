#include "bench_support.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace bench {
namespace {

double clockMs(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

}  // namespace

double nowMs()
{
    return clockMs(CLOCK_MONOTONIC);
}

double threadCpuMs()
{
    return clockMs(CLOCK_THREAD_CPUTIME_ID);
}

Stats summarize(std::vector<double> samples)
{
    Stats s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    // Nearest rank: the smallest sample with at least p of them at or below.
    auto rank = [n](double p) {
        const auto r = static_cast<std::size_t>(std::ceil(p * static_cast<double>(n)));
        return std::min(n, std::max<std::size_t>(r, 1)) - 1;
    };
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    s.p95 = samples[rank(0.95)];
    s.min = samples.front();
    s.max = samples.back();
    s.count = static_cast<int>(n);
    return s;
}

Table::Table(std::string title, std::vector<std::string> header) : title_(std::move(title))
{
    rows_.push_back(std::move(header));
}

void Table::addRow(std::vector<std::string> cells)
{
    rows_.push_back(std::move(cells));
}

void Table::print() const
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows_) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    std::printf("%s\n", title_.c_str());
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        std::string line;
        for (std::size_t i = 0; i < rows_[r].size(); ++i) {
            const std::string& cell = rows_[r][i];
            // The first column reads left-aligned, the figures right-aligned.
            const std::string pad(widths[i] - cell.size(), ' ');
            line += i == 0 ? cell + pad : "  " + pad + cell;
        }
        std::printf("%s\n", line.c_str());
        if (r == 0) {
            std::size_t total = 0;
            for (std::size_t w : widths)
                total += w + 2;
            std::printf("%s\n", std::string(total - 2, '-').c_str());
        }
    }
}

std::string fixed(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string jsonQuote(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

JsonLine& JsonLine::add(const std::string& key, double value)
{
    // JSON has no text for NaN or infinity.
    if (!std::isfinite(value))
        return addRaw(key, "null");
    std::ostringstream text;
    text.precision(6);
    text << value;
    return addRaw(key, text.str());
}

JsonLine& JsonLine::add(const std::string& key, const std::string& value)
{
    return addRaw(key, jsonQuote(value));
}

JsonLine& JsonLine::addRaw(const std::string& key, const std::string& json)
{
    fields_.emplace_back(key, json);
    return *this;
}

std::string JsonLine::text() const
{
    std::string out = "{";
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (i)
            out += ", ";
        out += jsonQuote(fields_[i].first) + ": " + fields_[i].second;
    }
    return out + "}";
}

void JsonLine::print() const
{
    std::printf("%s\n", text().c_str());
    std::fflush(stdout);
}

int envCount(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value <= 0 || value > 1000000) {
        std::fprintf(stderr, "%s: not a positive count (%s); using %d\n", name, text, fallback);
        return fallback;
    }
    return static_cast<int>(value);
}

}  // namespace bench
