# Where CUPS keeps its filters and its PPD models: asked of cups-config, unless set.
function(qor_cups_path variable flag fallback description)
  set(${variable} "" CACHE PATH "${description} (empty: ask cups-config ${flag})")
  if(NOT ${variable})
    execute_process(COMMAND cups-config ${flag} OUTPUT_VARIABLE answer
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
    if(NOT (rc EQUAL 0 AND answer))
      set(answer ${fallback})
    endif()
    set(${variable} ${answer} PARENT_SCOPE)
  endif()
endfunction()
