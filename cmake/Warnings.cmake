# Warnings are errors everywhere. The signal path must not have fused
# multiply-adds: every product and sum is rounded to float as written.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off)
# 32-bit x86 computes floats with SSE, as x86-64 does: x87 keeps excess
# precision, which would round the window, transform and levels differently
# from the other builds, and has no flush-to-zero switch for quiet tails.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    add_compile_options(-msse2 -mfpmath=sse)
endif()
