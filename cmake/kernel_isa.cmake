# Instruction-set flags of the kernel files, by the suffix of their names:
# foo_mmx.cpp, foo_sse.cpp, foo_sse2.cpp, foo_avx2.cpp, foo_avx512.cpp.
# The wide tiers (AVX2, AVX-512) are built on x86-64 only; elsewhere their
# files are left out and PELLIX_WIDE_TIERS is off.

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PELLIX_WIDE_TIERS ON)
else()
  set(PELLIX_WIDE_TIERS OFF)
endif()

set(PELLIX_ISA_FLAGS_mmx "-mmmx")
set(PELLIX_ISA_FLAGS_sse "-mmmx;-msse")
set(PELLIX_ISA_FLAGS_sse2 "-mmmx;-msse;-msse2")
set(PELLIX_ISA_FLAGS_avx2 "-mavx2")
set(PELLIX_ISA_FLAGS_avx512 "-mavx512f;-mavx512bw;-mavx512vl")

# Sets the compile options of every kernel file in the list named by
# sources_var and drops the wide-tier files where they cannot be built.
function(pellix_kernel_isa_flags sources_var)
  set(kept "")
  foreach(source ${${sources_var}})
    get_filename_component(stem ${source} NAME_WE)
    if(stem MATCHES "_(mmx|sse|sse2|avx2|avx512)$")
      set(isa ${CMAKE_MATCH_1})
      if(isa MATCHES "^avx" AND NOT PELLIX_WIDE_TIERS)
        continue()
      endif()
      set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS "${PELLIX_ISA_FLAGS_${isa}}")
    endif()
    list(APPEND kept ${source})
  endforeach()
  set(${sources_var} ${kept} PARENT_SCOPE)
endfunction()
