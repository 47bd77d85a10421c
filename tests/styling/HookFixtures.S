# Functions the hooking tests patch. Each is copied, with what it uses, to places near and far from
# the engine's blocks, so it reaches nothing outside its own unit (from its label to <label>_end):
# data and jump slots live inside it, and the slots are filled in after each copy. Each takes
# (rdi, rsi) and returns rax.
        .section .text.tw_hook_fixtures,"ax",@progbits
        .balign 64

# A RIP-relative load at entry.
        .globl tw_fx_rip_load, tw_fx_rip_load_end
tw_fx_rip_load:
        mov     1f(%rip), %rax
        add     %rdi, %rax
        ret
        int3
        .balign 8
1:      .quad   1000
tw_fx_rip_load_end:

# JrCXZ in the first bytes: 0xFFFFFFFF for a zero count, else a times b.
        .globl tw_fx_jrcxz, tw_fx_jrcxz_end
tw_fx_jrcxz:
        mov     %edi, %ecx
        jrcxz   2f
        xor     %eax, %eax
1:      add     %rsi, %rax
        loop    1b
        ret
2:      mov     $0xFFFFFFFF, %eax
        ret
        int3
tw_fx_jrcxz_end:

# Long enough before its return for the 14-byte patch: a RIP-relative load and a conditional jump
# within it.
        .globl tw_fx_long, tw_fx_long_end
tw_fx_long:
        mov     1f(%rip), %rax
        test    %rdi, %rdi
        jz      2f
        add     %rsi, %rax
        add     %rdi, %rax
        ret
2:      mov     $5, %eax
        ret
        int3
        .balign 8
1:      .quad   2000
tw_fx_long_end:

# A conditional jump in the first bytes.
        .globl tw_fx_jcc, tw_fx_jcc_end
tw_fx_jcc:
        test    %rdi, %rdi
        jz      1f
        lea     (%rdi,%rsi), %rax
        ret
1:      mov     $7, %eax
        ret
        int3
tw_fx_jcc_end:

# A LOOP wholly inside the bytes the patch moves: a shifted left by b (b from 1).
        .globl tw_fx_loop, tw_fx_loop_end
tw_fx_loop:
        mov     %esi, %ecx
1:      add     %edi, %edi
        loop    1b
        mov     %edi, %eax
        ret
        int3
tw_fx_loop_end:

# A CALL in the first bytes.
        .globl tw_fx_call, tw_fx_call_end
tw_fx_call:
        call    1f
        add     %rdi, %rax
        ret
        int3
1:      mov     $100, %eax
        ret
        int3
tw_fx_call_end:

# A chain of import-style thunks through slots to the function that is patched.
        .globl tw_fx_thunk1, tw_fx_thunk2, tw_fx_real, tw_fx_slot1, tw_fx_slot2, tw_fx_thunk1_end
tw_fx_thunk1:
        jmp     *tw_fx_slot1(%rip)
        int3
tw_fx_thunk2:
        jmp     *tw_fx_slot2(%rip)
        int3
tw_fx_real:
        lea     1(%rdi), %rax
        add     %rsi, %rax
        ret
        int3
        .balign 8
tw_fx_slot1:
        .quad   0
tw_fx_slot2:
        .quad   0
tw_fx_thunk1_end:

# Functions too short for a patch.
        .globl tw_fx_early_ret, tw_fx_early_ret_end
tw_fx_early_ret:
        ret
        mov     %rdi, %rax
        ret
tw_fx_early_ret_end:
        .globl tw_fx_tail_jump, tw_fx_tail_jump_end
tw_fx_tail_jump:
        xor     %eax, %eax
        jmp     1f
        int3
1:      ret
tw_fx_tail_jump_end:
        .globl tw_fx_int3, tw_fx_int3_end
tw_fx_int3:
        xor     %eax, %eax
        int3
        int3
        int3
tw_fx_int3_end:
        .globl tw_fx_ud2, tw_fx_ud2_end
tw_fx_ud2:
        xor     %eax, %eax
        ud2
        int3
        int3
tw_fx_ud2_end:

# A loop whose branch, behind the patched bytes, returns into them.
        .globl tw_fx_loop_back, tw_fx_loop_back_end
tw_fx_loop_back:
        xor     %eax, %eax
        mov     %edi, %ecx
1:      add     %esi, %eax
        loop    1b
        ret
        int3
tw_fx_loop_back_end:

        .section .note.GNU-stack,"",@progbits
