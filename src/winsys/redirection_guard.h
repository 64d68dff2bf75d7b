// The process refuses links that a non-administrator made.
#pragma once

// Asks for the redirection-trust mitigation (Windows 10 22H2 and 11); quiet where
// the system lacks or refuses it.
void EnableRedirectionGuard();
