# The program's command line under Windows: standard input filtered by a command
# string, the usage, a script found beside its input with a backslash path, options
# in either case and with a dash, and the usage errors' exit code.
set(sample ${CMAKE_CURRENT_SOURCE_DIR}/data/three_lines.txt)
add_cli_case(command_string_filters_standard_input
             ARGS /c "PWL.ForEachLine(function(l) return l:upper() end)" INPUT ${sample}
             RESULT 0 STDOUT "^ERSTE\r?\nZWEITE\r?\nDRITTE\r?\n$" STDERR "STDIN")
add_cli_case(usage_on_question_mark ARGS /? RESULT 1 STDOUT "^$" STDERR "Aufruf:\r\n")
# Messages reach a redirected standard error in the OEM code page: the "ö" of
# "möglich" is byte 0x94 in both code pages Wine picks for German (437 and 850).
add_cli_case(messages_in_the_oem_code_page
             ARGS examples/number_lines.pwl /c "x = 1" RESULT 1 STDOUT "^$"
             STDERR_HEX "6d94676c69636821")
add_cli_case(script_with_backslash_input_path
             ARGS examples/number_lines.pwl /i "examples\\sample.txt"
             RESULT 0 STDOUT "^ +1  Erste Zeile\r?\n" STDERR "examples.sample.txt")
add_cli_case(options_with_dash_and_upper_case
             ARGS -C "PWL.ForEachLine(function(l) return l:lower() end)" INPUT ${sample}
             RESULT 0 STDOUT "^erste\r?\nzweite" STDERR "")
add_cli_case(missing_input_file_is_an_error
             ARGS /c "x = 1" /i "Z:\\no\\such\\file.txt" RESULT 1 STDOUT "^$" STDERR ".")
add_cli_case(failing_script_gives_two
             ARGS /c "error('stop')" INPUT ${sample} RESULT 2 STDOUT "" STDERR "stop")
