# Fails configuration when the Qt found cannot decode code page 932, the code page of the
# program's documents. Qt decodes it through ICU; a Qt built without ICU has no decoder, and
# the documents' Japanese text would read as replacement characters. The check builds and runs
# cmake/check_code_page_932.cpp against Qt6::Core once; a success is kept in the cache.
if(CMAKE_CROSSCOMPILING)
    message(STATUS "Code page 932 decoder: not checked when cross-compiling")
    return()
endif()
if(KELVO_CODE_PAGE_932_RUN EQUAL 0)
    return()
endif()

try_run(KELVO_CODE_PAGE_932_RUN kelvo_code_page_932_compiles
    ${CMAKE_BINARY_DIR}/check-code-page-932
    ${CMAKE_CURRENT_LIST_DIR}/check_code_page_932.cpp
    CMAKE_FLAGS -DCMAKE_POSITION_INDEPENDENT_CODE=ON
    CXX_STANDARD 20
    LINK_LIBRARIES Qt6::Core
    COMPILE_OUTPUT_VARIABLE compile_output
    RUN_OUTPUT_VARIABLE run_output)

if(NOT kelvo_code_page_932_compiles)
    unset(KELVO_CODE_PAGE_932_RUN CACHE)
    message(FATAL_ERROR "Code page 932 decoder: the check does not build against Qt6::Core "
        "${Qt6Core_VERSION}:\n${compile_output}")
elseif(NOT KELVO_CODE_PAGE_932_RUN EQUAL 0)
    unset(KELVO_CODE_PAGE_932_RUN CACHE)
    message(FATAL_ERROR "Code page 932 decoder: Qt ${Qt6Core_VERSION} found at ${Qt6Core_DIR} "
        "cannot decode windows-31j (${run_output}). The documents are written in code page "
        "932 and would show no Japanese text. Use a Qt built with ICU (Debian: qt6-base-dev "
        "with libicu).")
endif()
message(STATUS "Code page 932 decoder: ${run_output}")
