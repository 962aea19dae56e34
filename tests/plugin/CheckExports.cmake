# Fails unless the plug-in exports exactly CreatePlugin, GetPluginName and
# GetPluginType as plain C symbols. Run with -DPLUGIN=<path> -DNM=<nm>.
execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN}
                OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PLUGIN}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(symbols)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" symbol "${line}")
  list(APPEND symbols ${symbol})
endforeach()
list(SORT symbols)
if(NOT symbols STREQUAL "CreatePlugin;GetPluginName;GetPluginType")
  message(FATAL_ERROR "exported: ${symbols}")
endif()
message(STATUS "exports: ${symbols}")
