s/(hW|hDlg|Par|hWCB|hWLB|hWCtl)=[0-9A-F]{4,8}/\1=<hwnd>/g
s/^Parent [0-9A-F]{4,8} /Parent <hwnd> /
