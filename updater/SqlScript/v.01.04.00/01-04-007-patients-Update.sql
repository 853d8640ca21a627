UPDATE patients SET scheduled = false;
