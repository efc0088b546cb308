#include "tools/rtcheck/SyscallWatch.h"

#include <linux/audit.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <ucontext.h>

#include "tools/rtcheck/SanitizerRuntimes.h"
#include "tools/rtcheck/SystemCallNames.h"

namespace rtcheck {

__thread volatile char tSelector __attribute__((tls_model("initial-exec"))) =
    SYSCALL_DISPATCH_FILTER_ALLOW;

}  // namespace rtcheck

#if defined(PR_SET_SYSCALL_USER_DISPATCH) && (defined(__x86_64__) || defined(__i386__))

namespace rtcheck {
namespace {

// Where the interrupted call's number, arguments and return address lie in
// the signal's context, and how to make the call from here.
#if defined(__x86_64__)
constexpr unsigned kOwnArch = AUDIT_ARCH_X86_64;
constexpr int kNumber = REG_RAX;
constexpr int kArguments[6] = {REG_RDI, REG_RSI, REG_RDX, REG_R10, REG_R8, REG_R9};
constexpr int kReturnAddress = REG_RIP;

long perform(long number, const long (&a)[6]) {
  long result;
  register long a4 asm("r10") = a[3];
  register long a5 asm("r8") = a[4];
  register long a6 asm("r9") = a[5];
  asm volatile("syscall"
               : "=a"(result)
               : "a"(number), "D"(a[0]), "S"(a[1]), "d"(a[2]), "r"(a4), "r"(a5), "r"(a6)
               : "rcx", "r11", "memory");
  return result;
}
#else
constexpr unsigned kOwnArch = AUDIT_ARCH_I386;
constexpr int kNumber = REG_EAX;
constexpr int kArguments[6] = {REG_EBX, REG_ECX, REG_EDX, REG_ESI, REG_EDI, REG_EBP};
constexpr int kReturnAddress = REG_EIP;

// ebx may hold the GOT's address and ebp the frame's, so neither can be an
// operand: both are loaded from the block and restored around the call.
long perform(long number, const long (&a)[6]) {
  const long block[7] = {number, a[0], a[1], a[2], a[3], a[4], a[5]};
  long result;
  asm volatile(
      "pushl %%ebp\n\t"
      "pushl %%ebx\n\t"
      "movl 4(%%eax), %%ebx\n\t"
      "movl 8(%%eax), %%ecx\n\t"
      "movl 12(%%eax), %%edx\n\t"
      "movl 16(%%eax), %%esi\n\t"
      "movl 20(%%eax), %%edi\n\t"
      "movl 24(%%eax), %%ebp\n\t"
      "movl 0(%%eax), %%eax\n\t"
      "int $0x80\n\t"
      "popl %%ebx\n\t"
      "popl %%ebp"
      : "=a"(result)
      : "a"(block)
      : "ecx", "edx", "esi", "edi", "memory");
  return result;
}
#endif

// The si_code of a dispatched call (the kernel's asm-generic/siginfo.h; the
// C library's headers do not name it).
constexpr int kUserDispatch = 2;

// Calls that return on another stack or into another frame than the
// handler's: rather than made from here, each is run again as it stands,
// once the handler returns with the selector allowing it. Every x86 system
// call instruction (syscall, sysenter, int $0x80) is two bytes long; after a
// sysenter in the vDSO the kernel reports the int $0x80 that follows it, with
// the registers as that instruction takes them.
bool runsAgain(long number) {
  switch (number) {
    case SYS_rt_sigreturn:
    case SYS_clone:
    case SYS_clone3:
    case SYS_vfork:
    case SYS_fork:
#ifdef SYS_sigreturn
    case SYS_sigreturn:
#endif
      return true;
    default:
      return false;
  }
}

struct sigaction gPrevious;

// A SIGSYS the watch did not cause goes where it would have gone without it.
void chain(int signal, siginfo_t* info, void* context) {
  if (gPrevious.sa_flags & SA_SIGINFO) {
    gPrevious.sa_sigaction(signal, info, context);
  } else if (gPrevious.sa_handler == SIG_DFL) {
    // Delivered again once the handler returns, to end the process.
    AllowSystemCalls();
    ::signal(signal, SIG_DFL);
    raise(signal);
  } else if (gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
  }
}

void onSystemCall(int signal, siginfo_t* info, void* context) {
  if (info->si_code != kUserDispatch || tSelector != SYSCALL_DISPATCH_FILTER_BLOCK)
    return chain(signal, info, context);
  // First: the handler's own calls and its return are system calls. The
  // rest of the audio call then runs unwatched; its first one is reported.
  AllowSystemCalls();
  greg_t* registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
  // A call of the other x86 convention (int $0x80 in a 64-bit process)
  // numbers its calls from another table.
  const bool own = info->si_arch == kOwnArch;
  const long number = static_cast<long>(registers[kNumber]);
  if (!InSanitizerRuntime())
    RecordForbidden(own ? SystemCallName(number) : "a system call of the other x86 convention");
  if (!own || runsAgain(number)) {
    registers[kReturnAddress] -= 2;
    return;
  }
  long arguments[6];
  for (int i = 0; i < 6; ++i)
    arguments[i] = static_cast<long>(registers[kArguments[i]]);
  registers[kNumber] = static_cast<greg_t>(perform(number, arguments));
}

bool installHandler() {
  FindSanitizerRuntimes();
  struct sigaction action = {};
  action.sa_sigaction = onSystemCall;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  return sigaction(SIGSYS, &action, &gPrevious) == 0;
}

// 1 armed, -1 refused, 0 not tried yet on this thread.
__thread signed char tArmed __attribute__((tls_model("initial-exec"))) = 0;

}  // namespace

bool WatchSystemCalls() {
  if (tArmed == 0) {
    // Installed on the first arming rather than at load, so that a handler
    // the program installed meanwhile is the one chained to.
    static const bool handled = installHandler();
    const bool armed =
        handled && prctl(PR_SET_SYSCALL_USER_DISPATCH, PR_SYS_DISPATCH_ON, 0, 0, &tSelector) == 0;
    tArmed = armed ? 1 : -1;
  }
  return tArmed > 0;
}

}  // namespace rtcheck

#else

// No dispatch to ask for: the hooks alone watch.
bool rtcheck::WatchSystemCalls() {
  return false;
}

#endif
