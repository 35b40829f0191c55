#pragma once
// What the benchmark programs share: clocks, order statistics, the printed
// table and the one JSON line of figures each program ends with.

#include <iostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Milliseconds on the monotonic clock.
double nowMs();
// CPU time of the calling thread, in milliseconds.
double threadCpuMs();

struct Stats {
    double median = 0.0;
    double p95 = 0.0;
    double min = 0.0;
    double max = 0.0;
    int count = 0;
};
// Median and 95th percentile by nearest rank; all zero for no samples.
Stats summarize(std::vector<double> samples);

// A fixed-width text table: a title, a header row and rows of cells.
class Table {
public:
    Table(std::string title, std::vector<std::string> header);
    void addRow(std::vector<std::string> cells);
    void print() const;

private:
    std::string title_;
    std::vector<std::vector<std::string>> rows_;
};

// Number text with a fixed count of decimals.
std::string fixed(double value, int decimals);

// One JSON object on one line, keys in the order added.
class JsonLine {
public:
    JsonLine& add(const std::string& key, double value);
    JsonLine& add(const std::string& key, const std::string& value);
    JsonLine& addRaw(const std::string& key, const std::string& json);
    std::string text() const;
    void print() const;

private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

std::string jsonQuote(const std::string& text);

// Discards what std::cout is given while in scope (the model loader's
// progress trace), still formatting it as the program would.
class QuietStdout {
public:
    QuietStdout() : saved_(std::cout.rdbuf(&sink_)) {}
    ~QuietStdout() { std::cout.rdbuf(saved_); }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    struct Sink : std::streambuf {
        int_type overflow(int_type c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };
    Sink sink_;
    std::streambuf* saved_;
};

// A positive whole number from the environment, or the fallback.
int envCount(const char* name, int fallback);

}  // namespace bench
