# Resources compiled by qrc (tools/qrc) at build time.

# qv_add_resources(TARGET SCRIPT)
# Gives a module (qv_add_module) the resources of SCRIPT: qrc turns the script into a C++
# source holding the module's resource block, which the module loader finds after loading.
function(qv_add_resources target script)
  get_filename_component(script ${script} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND qrc ${script} -o ${out} --module-source --depfile ${out}.d
    DEPENDS qrc ${script} DEPFILE ${out}.d
    COMMENT "Compiling resources of ${target}" VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

# qv_add_resource_file(NAME SCRIPT OUTPUT FILE [TEST])
# Compiles SCRIPT into the resource file FILE (for example "qorvexstr.qrs") in the driver
# directory, or with TEST in the test directory beside it; NAME is the build target that
# makes it.
function(qv_add_resource_file name script)
  cmake_parse_arguments(R "TEST" "OUTPUT" "" ${ARGN})
  if(NOT R_OUTPUT)
    message(FATAL_ERROR "qv_add_resource_file(${name}) needs OUTPUT")
  endif()
  get_filename_component(script ${script} ABSOLUTE)
  set(out ${QV_DRIVER_DIR}/${R_OUTPUT})
  if(R_TEST)
    set(out ${QV_TEST_DRIVER_DIR}/${R_OUTPUT})
  endif()
  set(dep ${CMAKE_CURRENT_BINARY_DIR}/${name}.d)
  add_custom_command(OUTPUT ${out}
    COMMAND qrc ${script} -o ${out} --depfile ${dep}
    DEPENDS qrc ${script} DEPFILE ${dep}
    COMMENT "Compiling resource file ${R_OUTPUT}" VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${out})
endfunction()
