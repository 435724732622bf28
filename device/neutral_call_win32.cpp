// A 32-bit library may be __stdcall (the callee pops its arguments) or
// __cdecl (the caller does), and nothing in a DLL says which. Compiled code
// that calls through a pointer of the wrong type corrupts the stack pointer
// by the argument bytes at every call, and only a frame pointer that happens
// to be restored hides it. So every call goes through this routine: it keeps
// the stack pointer in a register that both conventions preserve, pushes the
// arguments, calls, and sets the stack pointer back, whatever the callee
// popped. No C++ construct can promise that; a few lines of assembly can.
// x86-64 has one convention, so there it is a plain call.
#include "device/neutral_call_win32.h"

#if defined(__i386__)
asm(R"(
    .text
    .globl _QuilletNeutralCall
    .def _QuilletNeutralCall; .scl 2; .type 32; .endef
_QuilletNeutralCall:
    pushl %ebp
    movl  %esp, %ebp
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %edi          # the stack pointer before the arguments
    leal  (,%ecx,4), %eax
    subl  %eax, %esp
    andl  $-16, %esp          # the call sees a 16-byte aligned stack
    addl  %eax, %esp
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)       # the last argument first
    jmp   1b
2:  call  *8(%ebp)
    movl  %edi, %esp          # back, whatever the callee popped
    popl  %edi
    popl  %esi
    popl  %ebp
    ret
)");
#else
extern "C" int32_t QuilletNeutralCall(const void* function, const uintptr_t* arguments, uint32_t count) {
  using Function = int32_t (*)(uintptr_t, uintptr_t, uintptr_t, uintptr_t);
  uintptr_t a[4] = {};
  for (uint32_t i = 0; i < count && i < 4; ++i) a[i] = arguments[i];
  return reinterpret_cast<Function>(const_cast<void*>(function))(a[0], a[1], a[2], a[3]);
}
#endif
