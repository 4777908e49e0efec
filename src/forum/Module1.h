#pragma once

#include <QString>
#include <optional>

// What every window of the bank manager shares: which board and which user,
// the board-address rules, the wait that keeps the windows alive, and the
// scrambling of short texts.
namespace Module1 {

// The shared forum state, for the whole run; never saved.
inline QString CurrentUser;
inline QString BoardId;
inline QString BoardUrl;
inline QString TimeZoneText;

// The forum service's host marker and top-level-domain marker.
inline const QString HostMarker = QStringLiteral(".proboards");
inline const QString DomainMarker = QStringLiteral(".com");

enum UrlParamKind { upAction = 0, upBoard = 1, upThread = 2, upPost = 3, upPage = 4 };

// Lets the windows work for at least ms milliseconds, sleeping in the event
// loop between events; false when it ended early because the program is quitting.
bool Delay(int ms);

// Reversible scrambling: the text reversed, each character of Windows-1252 codes
// 0-190 replaced by that of code + 63 + (i mod 3), any other by "$" and a stand-in
// (so the result may be longer). Scramble refuses only text that is not valid
// UTF-16; Unscramble refuses what no Scramble writes.
std::optional<QString> Scramble(const QString& text);
std::optional<QString> Unscramble(const QString& text);

bool IsBoardUrl(const QString& url);
QString GetUrlParam(const QString& url, UrlParamKind kind, bool valueOnly);
QString SetUrlParam(const QString& url, UrlParamKind kind, const QString& value);

// " (" + zone name + ")", or " (TimeZone Unknown)" when there is no name.
QString timeZoneText(const std::optional<QString>& zoneName);
void LoadTimeZoneText();

} // namespace Module1
