# What every check script shares: collect failures as they are found, and end the script with
# all of them at once, so that one run shows everything that is wrong.

set(failures)
macro(fail text)
    list(APPEND failures "${text}")
endmacro()

# Ends the script with an error listing every failure, if there was any.
macro(norvane_report_failures title)
    if(failures)
        list(JOIN failures "\n  " text)
        message(FATAL_ERROR "${title}:\n  ${text}")
    endif()
endmacro()
