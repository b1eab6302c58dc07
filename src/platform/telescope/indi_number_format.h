#pragma once

#include <QString>
#include <optional>

// Shows an INDI number as its format asks: printf conversions e, f, g (and d, i as whole
// numbers), or "%<w>.<f>m" for sexagesimal, where f picks the fraction: 3 "d:mm",
// 5 "d:mm.m", 6 "d:mm:ss", 8 "d:mm:ss.s", 9 "d:mm:ss.ss". The format comes from the server,
// so anything else (or anything unsafe to hand to printf) falls back to plain decimals.
QString formatIndiNumber(const QString& format, double value);

// Reads a typed number: decimal ("-12.5") or sexagesimal with ':' or spaces between the parts
// ("-12:30:00", "5 30"); minutes and seconds must be below 60. Nothing for anything else.
std::optional<double> parseIndiNumber(const QString& text);
