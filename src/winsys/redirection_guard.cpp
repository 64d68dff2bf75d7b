#include "redirection_guard.h"

#include "sys_table.h"

void EnableRedirectionGuard() {
  // An elevated run must never follow a junction that an unelevated program planted.
  PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy{};
  policy.EnforceRedirectionTrust = 1;
  if (Sys().SetProcessMitigationPolicy)
    Sys().SetProcessMitigationPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
}
