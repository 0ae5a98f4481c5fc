# Warnings are errors everywhere. The signal path must not have fused
# multiply-adds: every product and sum is rounded to float as written.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off)
