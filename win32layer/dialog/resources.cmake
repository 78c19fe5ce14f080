# Resource scripts for native builds: the MinGW resource compiler turns
# the .rc into a .res (as rc.exe would), and the bytes go into the
# executable for the layer to parse at run time.
find_program(WIN32LAYER_WINDRES NAMES i686-w64-mingw32-windres x86_64-w64-mingw32-windres REQUIRED)
set(WIN32LAYER_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_bytes.cmake CACHE INTERNAL "Writes a file as a C array")

# Compiles rc_file into res_file; headers beside the script are
# dependencies too.
function(win32layer_compile_resources rc_file res_file)
  get_filename_component(rc_dir ${rc_file} DIRECTORY)
  file(GLOB rc_headers ${rc_dir}/*.h)
  add_custom_command(
    OUTPUT ${res_file}
    COMMAND ${WIN32LAYER_WINDRES} -O res -i ${rc_file} -o ${res_file}
    DEPENDS ${rc_file} ${rc_headers}
    COMMENT "Compiling resources ${rc_file}"
    VERBATIM)
endfunction()

# Compiles rc_file and links its bytes into target as
# win32layer_resource_data / win32layer_resource_size.
function(win32layer_embed_resources target rc_file)
  get_filename_component(rc_name ${rc_file} NAME_WE)
  set(res_file ${CMAKE_CURRENT_BINARY_DIR}/${rc_name}.res)
  set(c_file ${CMAKE_CURRENT_BINARY_DIR}/${rc_name}_res.c)
  win32layer_compile_resources(${rc_file} ${res_file})
  add_custom_command(
    OUTPUT ${c_file}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res_file} -DOUTPUT=${c_file} -P ${WIN32LAYER_EMBED_SCRIPT}
    DEPENDS ${res_file} ${WIN32LAYER_EMBED_SCRIPT}
    VERBATIM)
  target_sources(${target} PRIVATE ${c_file})
endfunction()
