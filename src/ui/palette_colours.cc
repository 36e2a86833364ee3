#include "ui/palette_colours.h"

#include <algorithm>
#include <cmath>

namespace lintaro {
namespace {

double Linear(double channel) {
  return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Readable(const QColor& wanted, const QColor& background, const QColor& fallback) {
  return ContrastRatio(wanted, background) >= 4.5 ? wanted : fallback;
}

QColor TextOn(const QColor& background) {
  return ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background) ? Qt::black
                                                                                      : Qt::white;
}

}  // namespace lintaro
