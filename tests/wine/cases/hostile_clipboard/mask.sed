/^Wnd=|^Inputs:|^Found test|^$/d
/WM_COMMAND/d
