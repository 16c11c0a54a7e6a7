/^Wnd=|^Inputs:|^Found test|^$/d
/to WM_COMMAND within/d
