# The shell utility module as a CMake package: after find_package(Library4Shell CONFIG REQUIRED),
# link Library4::Shell. The package holds static libraries for 32-bit (i686) and 64-bit (x86_64)
# MinGW-w64 builds, made with the win32 thread model; the consumer's pointer size picks the pair.
get_filename_component(_library4_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_library4_arch i686)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_library4_arch x86_64)
else()
    set(Library4Shell_FOUND FALSE)
    set(Library4Shell_NOT_FOUND_MESSAGE
        "Library4Shell holds libraries for 4- and 8-byte pointers; this project's are '${CMAKE_SIZEOF_VOID_P}'")
    return()
endif()
set(_library4_lib "${_library4_root}/lib/${_library4_arch}")

if(NOT TARGET Library4::Shell)
    # The one door to the Windows API the module goes through. The headers expect Unicode and
    # Vista's declarations; the module still runs on Windows 2000, looking newer functions up at
    # run time.
    add_library(Library4::Platform STATIC IMPORTED)
    set_target_properties(Library4::Platform PROPERTIES
        IMPORTED_LOCATION "${_library4_lib}/libvantrel_platform.a"
        IMPORTED_LINK_INTERFACE_LANGUAGES CXX
        INTERFACE_INCLUDE_DIRECTORIES "${_library4_root}/include"
        INTERFACE_COMPILE_DEFINITIONS "UNICODE;_UNICODE;_WIN32_WINNT=0x0600;WINVER=0x0600"
        INTERFACE_COMPILE_FEATURES cxx_std_17
        INTERFACE_LINK_LIBRARIES "user32;kernel32;advapi32;shell32")

    add_library(Library4::Shell STATIC IMPORTED)
    set_target_properties(Library4::Shell PROPERTIES
        IMPORTED_LOCATION "${_library4_lib}/libLibrary4Shell.a"
        IMPORTED_LINK_INTERFACE_LANGUAGES CXX
        INTERFACE_LINK_LIBRARIES Library4::Platform)
endif()

unset(_library4_root)
unset(_library4_arch)
unset(_library4_lib)
