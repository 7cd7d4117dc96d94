#include "LeadingNumber.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace {

const char* SkipDigits(const char* p) {
  while (std::isdigit(static_cast<unsigned char>(*p)))
    ++p;
  return p;
}

}  // namespace

double ReadLeadingNumber(const char* text) {
  if (!text)
    return 0.0;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = (*p++ == '-');

  const char* start = p;
  const char* intEnd = SkipDigits(p);
  const char* end = intEnd;
  bool hasDigits = intEnd != start;
  if (*end == '.') {
    const char* fracEnd = SkipDigits(end + 1);
    hasDigits = hasDigits || fracEnd != end + 1;
    end = fracEnd;
  }
  if (!hasDigits)
    return 0.0;
  bool negativeExponent = false;
  if (*end == 'e' || *end == 'E') {
    const char* e = end + 1;
    if (*e == '+' || *e == '-')
      negativeExponent = (*e++ == '-');
    const char* expEnd = SkipDigits(e);
    if (expEnd != e)
      end = expEnd;
  }

  double value = 0.0;
  std::from_chars_result r = std::from_chars(start, end, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range)
    value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
  else if (r.ec != std::errc())
    value = 0.0;
  return negative ? -value : value;
}
