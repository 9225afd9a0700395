# Shared build settings for the Windows programs and the native test builds.

if(WIN32)
  # Each .exe runs alone: nothing but Windows' own DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Every x86 Windows since XP SP2-era hardware has SSE2; the scanner uses it.
    add_compile_options(-msse2)
  endif()
endif()

# AddressSanitizer and UBSan for the native test build.
add_library(qz_sanitizers INTERFACE)
if(NOT WIN32)
  target_compile_options(qz_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(qz_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
