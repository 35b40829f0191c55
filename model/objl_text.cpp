// Vector geometry and the text routines the OBJ and MTL readers rest on.

#include "model/objl.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace objl {

Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

bool operator==(const Vector3& a, const Vector3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool operator!=(const Vector3& a, const Vector3& b)
{
    return !(a == b);
}

Vector3 crossProduct(const Vector3& a, const Vector3& b)
{
    return Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float dotProduct(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float magnitude(const Vector3& a)
{
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

float angleBetween(const Vector3& a, const Vector3& b)
{
    return std::acos(dotProduct(a, b) / (magnitude(a) * magnitude(b)));
}

bool pointInTriangle(const Vector3& p, const Vector3& t1, const Vector3& t2, const Vector3& t3)
{
    const Vector3 u = t2 - t1;
    const Vector3 v = t3 - t1;
    const Vector3 w = p - t1;
    const Vector3 n = crossProduct(u, v);
    const float nn = dotProduct(n, n);
    const float gamma = dotProduct(crossProduct(u, w), n) / nn;
    const float beta = dotProduct(crossProduct(w, v), n) / nn;
    const float alpha = 1.0f - gamma - beta;
    return alpha >= 0.0f && alpha <= 1.0f && beta >= 0.0f && beta <= 1.0f && gamma >= 0.0f
           && gamma <= 1.0f;
}

namespace {

const char* const kBlanks = " \t";

}  // namespace

std::string lineKeyword(const std::string& line)
{
    const std::size_t s = line.find_first_not_of(kBlanks);
    if (s == std::string::npos)
        return std::string();
    const std::size_t e = line.find_first_of(kBlanks, s);
    return line.substr(s, e == std::string::npos ? std::string::npos : e - s);
}

std::string lineRest(const std::string& line)
{
    const std::size_t s = line.find_first_not_of(kBlanks);
    if (s == std::string::npos)
        return std::string();
    const std::size_t p = line.find_first_of(kBlanks, s);
    if (p == std::string::npos)
        return std::string();
    const std::size_t t = line.find_first_not_of(kBlanks, p);
    if (t == std::string::npos)
        return std::string();
    const std::size_t e = line.find_last_not_of(kBlanks);
    return line.substr(t, e - t + 1);
}

void splitOn(const std::string& text, std::vector<std::string>& pieces, const std::string& separator)
{
    pieces.clear();
    const std::size_t n = separator.size();
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (n != 0 && text.compare(i, n, separator) == 0) {
            if (current.empty()) {
                pieces.emplace_back();
            } else {
                pieces.push_back(current);
                current.clear();
                i += n - 1;
            }
        } else if (i + n >= text.size()) {
            current.append(text, i, n);
            pieces.push_back(current);
            return;
        } else {
            current.push_back(text[i]);
        }
    }
}

std::string& trimLineBreaks(std::string& text)
{
    const std::size_t p = text.find_last_not_of("\r\n");
    if (p != std::string::npos)
        text.erase(p + 1);
    return text;
}

namespace {

// Numbers are written with "." whatever locale the process runs in.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

bool parseFloat(const std::string& text, float& value)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const locale_t locale = cLocale();
    const double d = locale ? strtod_l(start, &end, locale) : std::strtod(start, &end);
    if (end == start || errno == ERANGE || !std::isfinite(d) || std::fabs(d) > FLT_MAX)
        return false;
    value = static_cast<float>(d);
    return true;
}

bool parseInt(const std::string& text, std::int32_t& value)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const locale_t locale = cLocale();
    const long n = locale ? strtol_l(start, &end, 10, locale) : std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || n < INT32_MIN || n > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(n);
    return true;
}

}  // namespace objl
