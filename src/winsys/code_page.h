// The system's ANSI code page, for the text rules that step over characters.
#pragma once

// Makes the text rules treat the lead bytes of the system's ANSI code page as
// the first of two bytes; call before any path is worked on.
void UseSystemCodePage();
