#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Message-box flags (buttons in the low four bits, icon in the next four, default button above) and
// the answers, numbered as the program's stored settings and texts expect them.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;

inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFMASK = 0xF00;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
// The answers of the message dialog's buttons that the classic box does not have.
inline constexpr int IDALL = 8;
inline constexpr int IDNOTOALL = 9;
inline constexpr int IDYESTOALL = 10;

enum class MessageBoxKind { Error, Confirmation, Warning, Information };

// The buttons a box shows, in order; an unknown button set shows OK alone.
std::vector<int> MessageBoxButtons(unsigned flags);
// The button that Enter presses: the one MB_DEFBUTTON2/3 names when the box has it, else the first.
int DefaultMessageBoxAnswer(unsigned flags);
// What a box answers when it is closed without a button (Escape, its close button): Cancel, else
// Ignore (an error is let pass rather than the program stopped), else No; a box without any of
// them answers its default.
int EscapeMessageBoxAnswer(unsigned flags);
// The kind the icon bits give; no icon or an unknown one counts as a warning.
MessageBoxKind MessageBoxKindOf(unsigned flags);
// The icon bits that show kind.
unsigned IconFlagsOf(MessageBoxKind kind);

// The text as a box shows it: in a box's text, as in every static text of the platform, "&&"
// stands for one "&". A single "&" is shown as it is (a box's text has no keyboard letters).
std::string MessageTextShown(std::string_view text);

std::string_view AnswerName(int answer);
std::string_view KindName(MessageBoxKind kind);

} // namespace ravlo
