# Instruction-set flags of the kernel files, by the suffix of their names:
# foo_mmx.cpp, foo_sse.cpp, foo_sse2.cpp, foo_avx2.cpp, foo_avx512.cpp.
# Every tier is built for every x86 processor, 32-bit or 64-bit: the wide
# kernels need nothing of x86-64 (they run in 8 vector registers as well as
# in 16), and the routine choice asks the processor at run time.

set(PELLIX_ISA_FLAGS_mmx "-mmmx")
set(PELLIX_ISA_FLAGS_sse "-mmmx;-msse")
set(PELLIX_ISA_FLAGS_sse2 "-mmmx;-msse;-msse2")
set(PELLIX_ISA_FLAGS_avx2 "-mavx2")
set(PELLIX_ISA_FLAGS_avx512 "-mavx512f;-mavx512bw;-mavx512vl")

# The suffixes above, as one alternation (for file names here and in the
# kernel-object check).
get_directory_property(pellix_variables VARIABLES)
list(FILTER pellix_variables INCLUDE REGEX "^PELLIX_ISA_FLAGS_")
list(TRANSFORM pellix_variables REPLACE "^PELLIX_ISA_FLAGS_" "")
string(JOIN "|" pellix_suffixes ${pellix_variables})
set(PELLIX_KERNEL_SUFFIXES "${pellix_suffixes}" CACHE INTERNAL "instruction-set suffixes of kernel file names")

# Sets the compile options of every kernel file in the list named by
# sources_var.
function(pellix_kernel_isa_flags sources_var)
  foreach(source ${${sources_var}})
    get_filename_component(stem ${source} NAME_WE)
    if(stem MATCHES "_(${PELLIX_KERNEL_SUFFIXES})$")
      set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS "${PELLIX_ISA_FLAGS_${CMAKE_MATCH_1}}")
    endif()
  endforeach()
endfunction()
