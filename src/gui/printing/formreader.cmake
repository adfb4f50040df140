# The form reader and the TrueType reader: qpdf and the core, no Qt, so the fuzz build (which
# has no Qt) builds them too.
if(NOT TARGET pelkorl_formreader)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
    add_library(pelkorl_formreader STATIC ${CMAKE_CURRENT_LIST_DIR}/formreader.cpp
                                          ${CMAKE_CURRENT_LIST_DIR}/truetype.cpp)
    target_include_directories(pelkorl_formreader PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
    target_link_libraries(pelkorl_formreader PUBLIC pelkorl_card pelkorl_records
                                             PRIVATE PkgConfig::QPDF)
    # clang 14 cannot read qpdf 11's headers in C++20 (std::vector of an incomplete type
    # in a constant expression); the reader needs nothing newer than C++17.
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/formreader.cpp PROPERTIES
                                COMPILE_OPTIONS -std=c++17)
    # qpdf 11 asks its users to say they use std::shared_ptr, not its old pointer holder.
    target_compile_definitions(pelkorl_formreader PRIVATE POINTERHOLDER_TRANSITION=4)
endif()
